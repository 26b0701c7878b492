#pragma once
// The seven settings in section SYLPIC of ./sylpic.ini, and how the dialog
// settles its three selections from them.
#include <string>
#include <string_view>
#include <vector>

namespace sylpic {

class CMainDlg;
class ProfileFile;

inline constexpr const char* kSettingsFile = "./sylpic.ini";
inline constexpr const char* kSettingsSection = "SYLPIC";

// The items of the size box and of the format box, in their order.
const std::vector<std::string>& FontSizeItems();
const std::vector<std::string>& ImageFormatItems();

// Reads XPOS, YPOS, BKTRP, DELERRF, FONTNAME, FONTSIZE, IMGFTYPE, in that
// order, each with its default, into the dialog's members; then the tag
// options ALTTEXT, DIMENSIONS, HIDPI (0 or 1, default 0) and PAGEENC.
void ReadSettings(const ProfileFile& profile, CMainDlg& dlg);
// Writes the seven settings back in the same order, then each tag option
// that the file already holds or that is on: a file that never used them
// gains nothing. PAGEENC is never written.
void WriteSettings(ProfileFile& profile, const CMainDlg& dlg);

// The canonical page encoding of a PAGEENC value: "UTF-8" or "CP932" in any
// case; anything else reads as "AUTO".
std::string PageEncodingSetting(std::string_view stored);

// The search rule of the dialog's boxes: the index of the first item that
// begins with `text`, ignoring case, or -1.
int FindItemWithPrefix(const std::vector<std::string>& items, std::string_view text);

// The dialog's settling of one selection: the item found for `stored`, else
// the item found for `fallback`. Returns false, leaving `chosen` equal to
// `fallback`, when not even the fallback is found.
bool SettleSelection(const std::vector<std::string>& items, std::string_view stored, std::string_view fallback,
                     std::string& chosen);

// The items of the font box: the faces of the font list without those that
// begin with "@" (the vertical-writing variants), sorted ignoring case.
std::vector<std::string> FontBoxItems(const std::vector<std::string>& fontList);

// Settles font, size and format as the dialog does when it opens: the font
// from `faces` (the first face when the stored name matches none; empty when
// there is no face), size and format with their fallbacks "12" and "GIF",
// logging message 105 with "(1)" or "(2)" when a fallback is missing.
void SettleDialogSelections(CMainDlg& dlg, const std::vector<std::string>& faces);

}  // namespace sylpic
