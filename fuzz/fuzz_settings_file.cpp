// The settings-file reader on arbitrary files.
//
// Input: the bytes of ./sylpic.ini. Properties:
// - the seven settings read without fault; the numbers are never negative,
//   and the dialog settles on a size and a format from its boxes;
// - writing the settings back and reading the file again gives the same
//   settings (unless a value loses spaces or quotes on its way);
// - a value written is read back as written.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/main_dlg.h"
#include "app/profile.h"
#include "app/settings.h"
#include "fuzz/fuzz_support.h"

using namespace sylpic;

namespace {

struct Settings {
    int x, y, transparent, deleteErrors;
    std::string font, size, format;
    bool operator==(const Settings&) const = default;
};

Settings Take(const CMainDlg& dlg)
{
    return {dlg.m_nPosX, dlg.m_nPosY, dlg.m_bTransparent, dlg.m_bDeleteErrorFiles,
            dlg.m_strFontName, dlg.m_strFontSize, dlg.m_strImageFormat};
}

bool InItems(const std::vector<std::string>& items, const std::string& value)
{
    for (const std::string& item : items)
        if (item == value)
            return true;
    return false;
}

// A value that reads back as written: no white space at its ends, no line
// break, and not wrapped in double quotes.
bool ReadsBackAsWritten(const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        return false;
    if (!value.empty() && (std::strchr(" \t", value.front()) || std::strchr(" \t", value.back())))
        return false;
    return !(value.size() >= 2 && value.front() == '"' && value.back() == '"');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ScratchFolder scratch("ini");
    const std::string path = scratch / "sylpic.ini";
    FUZZ_CHECK(WriteWholeFile(path, data, size), "cannot write " + path);

    ProfileFile profile(path);
    FUZZ_CHECK(profile.Load(), "an existing file did not load");
    CMainDlg dlg;
    ReadSettings(profile, dlg);
    const Settings read = Take(dlg);
    FUZZ_CHECK(read.x >= 0 && read.y >= 0 && read.transparent >= 0 && read.deleteErrors >= 0,
               "a negative number was read");

    // Written back unchanged and read again: the same settings.
    WriteSettings(profile, dlg);
    FUZZ_CHECK(profile.Save(), "the file could not be written back");
    ProfileFile again(path);
    FUZZ_CHECK(again.Load(), "the written file did not load");
    CMainDlg dlg2;
    ReadSettings(again, dlg2);
    const bool stable = ReadsBackAsWritten(read.font) && ReadsBackAsWritten(read.size) &&
                        ReadsBackAsWritten(read.format);
    if (stable)
        FUZZ_CHECK(Take(dlg2) == read, "the settings changed on their way through the file");

    // A value of the input written under a key is read back as written.
    const std::string value(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data),
                                                                          std::min<std::size_t>(size, 64)));
    if (ReadsBackAsWritten(value)) {
        again.WriteString("SYLPIC", "FONTSIZE", value);
        FUZZ_CHECK(again.GetString("sylpic", "fontsize", "missing") == value, "value " + value + " not read back");
    }

    // The dialog settles on items of its boxes, whatever the file said.
    SettleDialogSelections(dlg, {"NanumGothic", "NanumMyeongjo"});
    FUZZ_CHECK(InItems(FontSizeItems(), dlg.m_strFontSize), "size " + dlg.m_strFontSize + " not in the box");
    FUZZ_CHECK(InItems(ImageFormatItems(), dlg.m_strImageFormat), "format " + dlg.m_strImageFormat);
    FUZZ_CHECK(dlg.m_strFontName == "NanumGothic" || dlg.m_strFontName == "NanumMyeongjo",
               "font " + dlg.m_strFontName + " not in the list");
    return 0;
}
