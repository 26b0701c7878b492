#include "res/messages.h"

#include <initializer_list>

namespace sylpic {

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
    {IDS_SETTINGS_NOT_SAVED, "%s　設定ファイルを保存することができませんでした\r\n%s"},
    {IDS_FACE_NOT_EMBEDDABLE, "フォント %s はライセンスにより Web フォントに使えません\r\n%s"},
};

}  // namespace

const char* LoadMessage(int number)
{
    for (const NumberedMessage& m : kMessages)
        if (m.number == number)
            return m.text;
    return "";
}

namespace {

// Puts the arguments, in order, where the text has "%d" or "%s". The text is
// ours and the arguments are already text, so nothing is read as a format.
std::string Fill(const char* text, std::initializer_list<std::string_view> arguments)
{
    std::string filled;
    auto next = arguments.begin();
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '%' && (c[1] == 'd' || c[1] == 's') && next != arguments.end()) {
            filled += *next++;
            ++c;
            continue;
        }
        filled += *c;
    }
    return filled;
}

}  // namespace

std::string FormatPageDone(int images, int created)
{
    return Fill(LoadMessage(IDS_PAGE_DONE), {std::to_string(images), std::to_string(created)});
}

std::string FormatPageErrors(int images, int created, int errors)
{
    return Fill(LoadMessage(IDS_PAGE_ERRORS),
                {std::to_string(images), std::to_string(created), std::to_string(errors)});
}

std::string FormatEditSource(std::string_view name, std::string_view extension)
{
    return Fill(LoadMessage(IDS_EDIT_SOURCE), {name, extension, name, extension, name, extension, name, extension});
}

std::string FormatSettingsNotSaved(std::string_view path, std::string_view reason)
{
    return Fill(LoadMessage(IDS_SETTINGS_NOT_SAVED), {path, reason});
}

std::string FormatFaceNotEmbeddable(std::string_view face, std::string_view forbidden)
{
    return Fill(LoadMessage(IDS_FACE_NOT_EMBEDDABLE), {face, forbidden});
}

std::string FormatSaveFailure(int code, std::string_view detail)
{
    return Fill("保存に失敗しました\nエラーコード = %d\n%s", {std::to_string(code), detail});
}

}  // namespace sylpic
