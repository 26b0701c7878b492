#pragma once
// CMainDlg: the one object that lives across drops. It holds the settings,
// the colour pair, the glyph bitmap, the counters and paths of the page being
// converted, and the log. The conversion operations that read settings are
// its members; each is a thin adapter that hands its members to the engine
// below (convert/, imaging/) as plain values and takes the results back.
// It reaches the user only through a UserInterface, which the Qt dialog and
// the command line each implement, and it is the engine's ConversionLog.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interface.h"
#include "convert/conversion_run.h"
#include "convert/page_scan.h"
#include "data/limits.h"
#include "imaging/device_context.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/page_colours.h"

namespace sylpic {

class CMainDlg : public ConversionLog {
public:
    explicit CMainDlg(UserInterface* ui = nullptr);
    ~CMainDlg() override;
    CMainDlg(const CMainDlg&) = delete;
    CMainDlg& operator=(const CMainDlg&) = delete;

    void SetUserInterface(UserInterface* ui) { m_pUi = ui; }

    // --- members, in the order of the dialog state ---
    int m_nPosX = 100;
    int m_nPosY = 100;
    unsigned char m_colours[kColourPairBytes] = {kDefaultColourPair[0], kDefaultColourPair[1], kDefaultColourPair[2],
                                                kDefaultColourPair[3], kDefaultColourPair[4], kDefaultColourPair[5]};
    std::vector<std::string> m_fontList;  // the Hangul faces handed over at start-up
    int m_nFontCount = 0;
    std::string m_strLog;
    std::string m_strFontName;
    std::string m_strFontSize;
    std::string m_strImageFormat;
    int m_bDeleteErrorFiles = 0;
    int m_bTransparent = 0;
    int m_nCreatedCount = 0;
    int m_nImageCount = 0;
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    int m_nRowBytes = 0;
    std::unique_ptr<unsigned char[]> m_pImageBits;  // null when no bitmap is held
    std::size_t m_nImageBitsSize = 0;               // bytes held in m_pImageBits
    char m_szSourcePath[kMaxPath] = {};
    char m_szOutputPath[kMaxPath] = {};
    char m_szPageDir[kMaxPath] = {};
    char m_szImageDir[kMaxPath] = {};
    // The drawing surface's vertical resolution (the screen's by default).
    int m_nScreenDpi = kScreenDpi;
    // How the last ConvertFiles run ended.
    RunOutcome m_lastOutcome = RunOutcome::kAllClean;
    // Tag options (keys ALTTEXT, DIMENSIONS, HIDPI), real text in place of
    // images (key REALTEXT) and how pages are read (key PAGEENC: "AUTO",
    // "UTF-8" or "CP932").
    int m_bAltText = 0;
    int m_bDimensions = 0;
    int m_bHiDpi = 0;
    int m_bRealText = 0;
    std::string m_strPageEncoding = "AUTO";
    // Where the blocks' diagnostics go: the command line's printer, or none.
    BlockDiagnostics* m_pDiagnostics = nullptr;
    // Colours that replace the body tags' TEXT and BGCOLOR for a whole run,
    // and error images deleted in each page folder rather than only the
    // first's (the command line's colour options and site runs).
    bool m_bTextColourSet = false;
    unsigned char m_textColour[3] = {};
    bool m_bBackgroundColourSet = false;
    unsigned char m_backgroundColour[3] = {};
    bool m_bDeleteErrorsPerFolder = false;

    // --- log (the log pane) ---
    void LogText(std::string_view text, bool newline, bool append) override;
    void LogMessage(int number, bool newline, bool append) override;
    void ShowMessageBox(std::string_view text) override;
    void ReportCause(std::string_view path, std::string_view reason) override;

    // --- conversion run ---
    // A drop: wait cursor, then ConvertFiles. `refreshSettings` stands for the
    // save direction of the data exchange, run before anything is converted.
    void OnDropFiles(const std::vector<std::string>& paths,
                     const std::function<void(CMainDlg&)>& refreshSettings = nullptr);
    void ConvertFiles(const std::vector<std::string>& paths);
    // The page scanner: error total, or -1 after a fatal error.
    int ConvertPage(FILE* source, FILE* output);

    // --- block pipeline operations that read settings ---
    int BuildImageKey(char key[kImageKeyBytes]);
    int RenderGlyphs(const DeviceContext* dc);
    int WriteGif(FILE* file, const char* key, const unsigned char* colours);
    int WritePng(FILE* file, const char* key, const unsigned char* colours);
    int WriteXbm(FILE* file, const char* name);
    void FreeImageBits();

private:
    // The settings members as the engine reads them.
    ConversionSettings Settings() const;
    GlyphBitmapView ImageBits() const { return {m_nImageWidth, m_nImageHeight, m_nRowBytes, m_pImageBits.get(), m_nImageBitsSize}; }

    UserInterface* m_pUi = nullptr;
};

}  // namespace sylpic
