#include "app/settings.h"


#include <algorithm>

#include "app/main_dlg.h"
#include "app/profile.h"
#include "hangul/ascii_text.h"
#include "res/messages.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

// The tag options: each is written back only once the file has used it.
struct TagOption {
    const char* key;
    int CMainDlg::*member;
};
constexpr TagOption kTagOptions[] = {
    {"ALTTEXT", &CMainDlg::m_bAltText},
    {"DIMENSIONS", &CMainDlg::m_bDimensions},
    {"HIDPI", &CMainDlg::m_bHiDpi},
    {"REALTEXT", &CMainDlg::m_bRealText},
};

}  // namespace

const std::vector<std::string>& FontSizeItems()
{
    static const std::vector<std::string> items = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                                   "20", "22", "24", "26", "28", "36", "48", "72"};
    return items;
}

const std::vector<std::string>& ImageFormatItems()
{
    static const std::vector<std::string> items = {"GIF", "PNG", "XBM"};
    return items;
}

void ReadSettings(const ProfileFile& profile, CMainDlg& dlg)
{
    dlg.m_nPosX = profile.GetInt(kSettingsSection, "XPOS", 100);
    dlg.m_nPosY = profile.GetInt(kSettingsSection, "YPOS", 100);
    dlg.m_bTransparent = profile.GetInt(kSettingsSection, "BKTRP", 1);
    dlg.m_bDeleteErrorFiles = profile.GetInt(kSettingsSection, "DELERRF", 0);
    dlg.m_strFontName = profile.GetString(kSettingsSection, "FONTNAME", "");
    dlg.m_strFontSize = profile.GetString(kSettingsSection, "FONTSIZE", "12");
    dlg.m_strImageFormat = profile.GetString(kSettingsSection, "IMGFTYPE", "GIF");
    for (const TagOption& option : kTagOptions)
        dlg.*option.member = profile.GetInt(kSettingsSection, option.key, 0) != 0 ? 1 : 0;
    dlg.m_strPageEncoding = PageEncodingSetting(profile.GetString(kSettingsSection, "PAGEENC", "AUTO"));
}

void WriteSettings(ProfileFile& profile, const CMainDlg& dlg)
{
    profile.WriteInt(kSettingsSection, "XPOS", dlg.m_nPosX);
    profile.WriteInt(kSettingsSection, "YPOS", dlg.m_nPosY);
    profile.WriteInt(kSettingsSection, "BKTRP", dlg.m_bTransparent);
    profile.WriteInt(kSettingsSection, "DELERRF", dlg.m_bDeleteErrorFiles);
    profile.WriteString(kSettingsSection, "FONTNAME", dlg.m_strFontName);
    profile.WriteString(kSettingsSection, "FONTSIZE", dlg.m_strFontSize);
    profile.WriteString(kSettingsSection, "IMGFTYPE", dlg.m_strImageFormat);
    for (const TagOption& option : kTagOptions) {
        const int on = dlg.*option.member != 0 ? 1 : 0;
        if (on || profile.HasKey(kSettingsSection, option.key))
            profile.WriteInt(kSettingsSection, option.key, on);
    }
}

std::string PageEncodingSetting(std::string_view stored)
{
    for (const char* name : {"UTF-8", "CP932"})
        if (EqualsIgnoringCase(stored, name))
            return name;
    return "AUTO";
}

std::vector<std::string> FontBoxItems(const std::vector<std::string>& fontList)
{
    std::vector<std::string> items;
    for (const std::string& face : fontList)
        if (face.empty() || face[0] != '@')
            items.push_back(face);
    // A sorted box places each added item after those that compare equal.
    std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        return CompareIgnoringCase(a, b) < 0;
    });
    return items;
}

int FindItemWithPrefix(const std::vector<std::string>& items, std::string_view text)
{
    for (std::size_t i = 0; i < items.size(); ++i)
        if (StartsWithIgnoringCase(items[i], text))
            return static_cast<int>(i);
    return -1;
}

bool SettleSelection(const std::vector<std::string>& items, std::string_view stored, std::string_view fallback,
                     std::string& chosen)
{
    int index = stored.empty() ? -1 : FindItemWithPrefix(items, stored);
    if (index < 0)
        index = FindItemWithPrefix(items, fallback);
    if (index < 0) {
        chosen = std::string(fallback);
        return false;
    }
    chosen = items[static_cast<std::size_t>(index)];
    return true;
}

void SettleDialogSelections(CMainDlg& dlg, const std::vector<std::string>& faces)
{
    // The font: the stored name's first match, else the first face.
    int font = dlg.m_strFontName.empty() ? -1 : FindItemWithPrefix(faces, dlg.m_strFontName);
    if (font < 0)
        font = 0;
    dlg.m_strFontName = faces.empty() ? std::string() : faces[static_cast<std::size_t>(font)];

    if (!SettleSelection(FontSizeItems(), dlg.m_strFontSize, "12", dlg.m_strFontSize)) {
        dlg.LogMessage(IDS_INTERNAL_ERROR, false, true);
        dlg.LogText("(1)", true, true);
    }
    if (!SettleSelection(ImageFormatItems(), dlg.m_strImageFormat, "GIF", dlg.m_strImageFormat)) {
        dlg.LogMessage(IDS_INTERNAL_ERROR, false, true);
        dlg.LogText("(2)", true, true);
    }
}

}  // namespace sylpic
