#include "app/qt/dialog_template.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <iterator>

#include "res/version.h"

namespace sylpic {

namespace {

const DialogControl kMainControls[] = {
    {IDC_FONTNAME, "IDC_FONTNAME", ControlKind::kDropDownList, 69, 7, 71, 77, nullptr},
    {IDC_FONTSIZE, "IDC_FONTSIZE", ControlKind::kDropDown, 191, 7, 33, 70, nullptr},
    {IDC_BKTRP, "IDC_BKTRP", ControlKind::kCheckBox, 7, 23, 40, 10, "背景透過"},
    {IDC_DELERRF, "IDC_DELERRF", ControlKind::kCheckBox, 58, 23, 82, 10, "エラーファイル自動削除"},
    {IDC_IMGFTYPE, "IDC_IMGFTYPE", ControlKind::kDropDownList, 191, 21, 33, 77, nullptr},
    {IDC_LOG, "IDC_LOG", ControlKind::kLogPane, 7, 36, 267, 102, "変換するページ（HTML ファイル）をここにドロップしてください"},
    {IDOK, "IDOK", ControlKind::kHiddenButton, 268, 7, 6, 6, "変　換"},
    {IDCANCEL, "IDCANCEL", ControlKind::kHiddenButton, 268, 14, 6, 6, "終　了"},
    {IDC_STATIC, "IDC_STATIC_FONTNAME", ControlKind::kStaticText, 7, 9, 59, 10, "ハングルフォント名"},
    {IDC_STATIC, "IDC_STATIC_FONTSIZE", ControlKind::kStaticText, 145, 9, 46, 10, "フォントサイズ"},
    {IDC_STATIC, "IDC_STATIC_IMGFTYPE", ControlKind::kStaticText, 150, 23, 30, 10, "出力形式"},
};

// The About box: the icon, the name and version line, and OK.
const DialogControl kAboutControls[] = {
    {IDC_STATIC, "IDC_STATIC_ICON", ControlKind::kIcon, 11, 17, 20, 20, nullptr},
    {IDC_STATIC, "IDC_STATIC_VERSION", ControlKind::kStaticText, 40, 7, 119, 8, SYLPIC_NAME " Ver. " SYLPIC_VERSION},
    {IDOK, "IDOK", ControlKind::kDefaultButton, 159, 51, 38, 13, "OK"},
};

}  // namespace

const DialogTemplate& MainDialogTemplate()
{
    static const DialogTemplate t = {"SYLPIC", 281, 145, kMainControls, static_cast<int>(std::size(kMainControls))};
    return t;
}

const DialogTemplate& AboutBoxTemplate()
{
    static const DialogTemplate t = {"SYLPIC のﾊﾞｰｼﾞｮﾝ情報", 204, 71, kAboutControls,
                                     static_cast<int>(std::size(kAboutControls))};
    return t;
}

QFont DialogFont()
{
    const QString wanted = QStringLiteral("ＭＳ Ｐゴシック");
    QFont font(QFontDatabase::hasFamily(wanted) ? wanted : QStringLiteral("IPAPGothic"));
    font.setPointSize(12);
    return font;
}

DialogUnits::DialogUnits(const QFont& font)
{
    // The average width is that of the 52 Latin letters, rounded, as the
    // window system measures a dialog font.
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = (alphabet / 26 + 1) / 2;
    baseY = metrics.height();
}

// Units times base over 4 (or 8), rounded to the nearest pixel.
int DialogUnits::ToPixelsX(int units) const
{
    return (units * baseX + 2) / 4;
}

int DialogUnits::ToPixelsY(int units) const
{
    return (units * baseY + 4) / 8;
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

}  // namespace sylpic
