#pragma once
// A dialog state object over a scratch folder, for conversion tests.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/main_dlg.h"
#include "tests/test_support.h"

namespace sylpic {

class ConvertFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg.m_strFontName = kTestFont;
        dlg.m_strFontSize = "12";
        dlg.m_strImageFormat = "GIF";
        dlg.m_bTransparent = 0;
        dlg.m_bDeleteErrorFiles = 0;
    }

    // Writes `source` as the source page sp_<name> and converts it by
    // dropping the source page; returns the output page.
    std::string Convert(std::string_view source, const std::string& name = "page.htm")
    {
        WriteWholeFile(dir / ("sp_" + name), source);
        dlg.ConvertFiles({dir / ("sp_" + name)});
        return ReadWholeFile(dir / name);
    }

    std::string Image(const std::string& name) const { return dir.path() + "hanimg/" + name; }
    std::vector<std::string> Images() const { return ListFolder(dir.path() + "hanimg"); }
    // The last line of the log, without its line end.
    std::string LastLogLine() const
    {
        std::string log = ui.log;
        if (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0)
            log.resize(log.size() - 2);
        const std::size_t start = log.rfind("\r\n");
        return start == std::string::npos ? log : log.substr(start + 2);
    }

    ScratchDir dir;
    RecordingUi ui;
    CMainDlg dlg{&ui};
};

}  // namespace sylpic
