#include "res/messages.h"

namespace {

struct NumberedMessage {
    int number;
    const char* text;
};

// Messages 103 to 109 and 111 begin with an ideographic space: in the log
// they follow the page's path on the same line.
constexpr NumberedMessage kMessages[] = {
    {IDS_ABOUTBOX, "SYLPIC のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {IDS_NO_HANGUL_FONT, "ハングルフォントがインストールされていません"},
    {IDS_CANNOT_OPEN, "　ファイルを開くことができませんでした"},
    {IDS_CANNOT_CREATE, "　ファイルを作ることができませんでした"},
    {IDS_INTERNAL_ERROR, "　内部エラーが発生しました"},
    {IDS_NO_MEMORY, "　メモリー確保に失敗しました"},
    {IDS_PAGE_DONE, "　画像数 %d, 作成数 %d, 正常終了"},
    {IDS_PAGE_ERRORS, "　画像数 %d, 作成数 %d, エラー数 %d"},
    {IDS_FONT_FAILED, "　フォントを読み込めませんでした"},
    {IDS_EDIT_SOURCE,
     "%s%s ではなく、sp_%s%s を修正・編集して入力して下さい。\r\n"
     "%s%s を入力する時は、sp_%s%s を（不要であることを確認して）削除して下さい。"},
    {IDS_NOT_PROCESSED, "　処理しませんでした"},
    {IDS_NO_KOREAN, "韓国語サポートがインストールされていません"},
};

}  // namespace

const char* LoadMessage(int number)
{
    for (const NumberedMessage& m : kMessages)
        if (m.number == number)
            return m.text;
    return "";
}
