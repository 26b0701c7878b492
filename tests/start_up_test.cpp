// Start-up: the two checks, the settings read before the dialog and written
// after it, and the font box's items.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/settings.h"
#include "res/messages.h"
#include "test_support.h"

using namespace sylpic;

namespace {

// Start-up's platform, with a dialog that runs `during` in place of a user.
class FakeHost : public StartUpHost {
public:
    bool IsCodePage949Available() override { return codePage; }
    std::vector<std::string> FindHangulFonts() override
    {
        ++fontSearches;
        return faces;
    }
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    void RunModal(CMainDlg& dlg) override
    {
        ++dialogRuns;
        if (during)
            during(dlg);
    }

    bool codePage = true;
    std::vector<std::string> faces = {"NanumGothic"};
    std::function<void(CMainDlg&)> during;
    std::vector<std::string> boxes;
    int fontSearches = 0;
    int dialogRuns = 0;
};

TEST(StartUpTest, WithoutCodePage949ShowsMessage113AndTouchesNothing)
{
    ScratchDir dir;
    FakeHost host;
    host.codePage = false;
    CMainApp app(dir / "sylpic.ini");
    EXPECT_FALSE(app.InitInstance(host));
    EXPECT_EQ(host.boxes, std::vector<std::string>{LoadMessage(IDS_NO_KOREAN)});
    EXPECT_EQ(host.fontSearches, 0);
    EXPECT_EQ(host.dialogRuns, 0);
    EXPECT_FALSE(FileExists(dir / "sylpic.ini"));
}

TEST(StartUpTest, WithoutHangulFacesShowsMessage102AndLeavesTheSettingsAlone)
{
    ScratchDir dir;
    const std::string stored = "[SYLPIC]\nXPOS=5\n";
    WriteWholeFile(dir / "sylpic.ini", stored);
    FakeHost host;
    host.faces.clear();
    CMainApp app(dir / "sylpic.ini");
    EXPECT_FALSE(app.InitInstance(host));
    EXPECT_EQ(host.boxes, std::vector<std::string>{LoadMessage(IDS_NO_HANGUL_FONT)});
    EXPECT_EQ(host.dialogRuns, 0);
    EXPECT_EQ(ReadWholeFile(dir / "sylpic.ini"), stored);
}

TEST(StartUpTest, FirstRunStartsFromTheDefaultsAndWritesAllSevenKeysInOrder)
{
    ScratchDir dir;
    FakeHost host;
    host.faces = {"NanumGothic", "@NanumGothic"};
    host.during = [](CMainDlg& dlg) {
        EXPECT_EQ(dlg.m_nPosX, 100);
        EXPECT_EQ(dlg.m_nPosY, 100);
        EXPECT_EQ(dlg.m_bTransparent, 1);
        EXPECT_EQ(dlg.m_bDeleteErrorFiles, 0);
        EXPECT_EQ(dlg.m_strFontName, "");
        EXPECT_EQ(dlg.m_strFontSize, "12");
        EXPECT_EQ(dlg.m_strImageFormat, "GIF");
        const unsigned char whiteOnBlack[] = {255, 255, 255, 0, 0, 0};
        EXPECT_TRUE(std::equal(whiteOnBlack, whiteOnBlack + 6, dlg.m_colours));
        EXPECT_EQ(dlg.m_fontList, (std::vector<std::string>{"NanumGothic", "@NanumGothic"}));
        EXPECT_EQ(dlg.m_nFontCount, 2);
        // What the dialog settles and records before it closes.
        dlg.m_strFontName = "NanumGothic";
        dlg.m_nPosX = -1;  // stored as it is, read back as 0
        dlg.m_nPosY = 240;
    };
    CMainApp app(dir / "sylpic.ini");
    EXPECT_FALSE(app.InitInstance(host));
    EXPECT_EQ(host.dialogRuns, 1);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(ReadWholeFile(dir / "sylpic.ini"),
              "[SYLPIC]\r\nXPOS=-1\r\nYPOS=240\r\nBKTRP=1\r\nDELERRF=0\r\nFONTNAME=NanumGothic\r\n"
              "FONTSIZE=12\r\nIMGFTYPE=GIF\r\n");
}

TEST(StartUpTest, SettingsAreReadBeforeAndOtherSectionsKeptAfter)
{
    ScratchDir dir;
    const std::string path = dir / "sylpic.ini";
    WriteWholeFile(path, "[Sylpic]\r\nimgftype=xbm\r\nbktrp=0\r\ndelerrf=1\r\nfontsize=24\r\n");
    FakeHost host;
    host.during = [&path](CMainDlg& dlg) {
        EXPECT_EQ(dlg.m_strImageFormat, "xbm");  // the dialog settles it, not start-up
        EXPECT_EQ(dlg.m_bTransparent, 0);
        EXPECT_EQ(dlg.m_bDeleteErrorFiles, 1);
        EXPECT_EQ(dlg.m_strFontSize, "24");
        // Someone else writes the file while the dialog is open.
        WriteWholeFile(path, ReadWholeFile(path) + "[Elsewhere]\r\nkept=yes\r\n");
    };
    CMainApp app(path);
    app.InitInstance(host);
    EXPECT_EQ(ReadWholeFile(path),
              "[Sylpic]\r\nIMGFTYPE=xbm\r\nBKTRP=0\r\nDELERRF=1\r\nFONTSIZE=24\r\nXPOS=100\r\nYPOS=100\r\n"
              "FONTNAME=\r\n[Elsewhere]\r\nkept=yes\r\n");
}

TEST(StartUpTest, TagOptionsAreWrittenBackOnlyOnceTheFileUsesThem)
{
    ScratchDir dir;
    const std::string path = dir / "sylpic.ini";
    const std::string seven = "[SYLPIC]\r\nXPOS=100\r\nYPOS=100\r\nBKTRP=1\r\nDELERRF=0\r\nFONTNAME=\r\n"
                              "FONTSIZE=12\r\nIMGFTYPE=GIF\r\n";
    WriteWholeFile(path, seven);
    FakeHost host;
    CMainApp app(path);
    app.InitInstance(host);
    EXPECT_EQ(ReadWholeFile(path), seven);  // never used and left off

    host.during = [](CMainDlg& dlg) { dlg.m_bHiDpi = 1; };
    app.InitInstance(host);
    EXPECT_EQ(ReadWholeFile(path), seven + "HIDPI=1\r\n");

    // Present: rewritten even when off. PAGEENC is read, never written.
    WriteWholeFile(path, seven + "alttext=1\r\nPageEnc=utf-8\r\nDIMENSIONS=7\r\n");
    host.during = [](CMainDlg& dlg) {
        EXPECT_EQ(dlg.m_bDimensions, 1);
        EXPECT_EQ(dlg.m_strPageEncoding, "UTF-8");
        dlg.m_bAltText = 0;
    };
    app.InitInstance(host);
    EXPECT_EQ(ReadWholeFile(path), seven + "ALTTEXT=0\r\nPageEnc=utf-8\r\nDIMENSIONS=1\r\n");
    for (const char* other : {"UTF8", "CP9320", "Shift_JIS"})
        EXPECT_EQ(PageEncodingSetting(other), "AUTO") << other;
}

// A full disk (a file-size limit, in a child process), a read-only file
// and a folder where the settings file stands.
TEST(StartUpTest, SettingsAreWrittenWholeOrLeftAsTheyWereWithAMessage)
{
    ScratchDir dir;
    const std::string path = dir / "sylpic.ini";
    const std::string stored = "[Other]\nkeep=" + std::string(200, 'x') + "\n[SYLPIC]\nXPOS=5\n";
    WriteWholeFile(path, stored);
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit{100, 100};
        signal(SIGXFSZ, SIG_IGN);
        FakeHost host;
        if (setrlimit(RLIMIT_FSIZE, &limit) == 0)
            CMainApp(path).InitInstance(host);
        _exit(host.boxes == std::vector<std::string>{FormatSettingsNotSaved(path, "File too large")} ? 0 : 1);
    }
    int status = -1;
    EXPECT_TRUE(waitpid(pid, &status, 0) == pid && status == 0);
    EXPECT_EQ(ReadWholeFile(path), stored);
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"sylpic.ini"});  // no temporary file left

    chmod(path.c_str(), 0444);
    FakeHost readOnly;
    CMainApp(path).InitInstance(readOnly);
    EXPECT_EQ(readOnly.boxes, std::vector<std::string>{FormatSettingsNotSaved(path, "read-only file")});
    EXPECT_EQ(ReadWholeFile(path), stored);

    const std::string folder = dir / "folder.ini";
    mkdir(folder.c_str(), 0777);
    FakeHost inFolder;
    CMainApp(folder).InitInstance(inFolder);
    EXPECT_EQ(inFolder.boxes, std::vector<std::string>{FormatSettingsNotSaved(folder, "Is a directory")});
}

TEST(FontBoxItemsTest, VerticalFacesAreLeftOutAndTheRestSortedIgnoringCase)
{
    const std::vector<std::string> list = {"undotum", "@Baekmuk Gulim", "Baekmuk Gulim", "NanumGothic", "@", "UnBatang"};
    EXPECT_EQ(FontBoxItems(list), (std::vector<std::string>{"Baekmuk Gulim", "NanumGothic", "UnBatang", "undotum"}));
    EXPECT_TRUE(FontBoxItems({"@NanumGothic"}).empty());
}

}  // namespace
