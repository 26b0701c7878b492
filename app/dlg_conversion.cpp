// CMainDlg's conversion operations: each hands the settings members to the
// engine (convert/) and takes the page's paths, colours and figures back.
#include <cstring>

#include "app/main_dlg.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/page_encoding.h"
#include "hangul/block_buffers.h"
#include "imaging/image_format.h"

namespace sylpic {

ConversionSettings CMainDlg::Settings() const
{
    ConversionSettings settings;
    settings.fontName = m_strFontName;
    settings.fontSize = m_strFontSize;
    settings.format = ImageFormatOf(m_strImageFormat);
    settings.transparent = m_bTransparent != 0;
    settings.deleteErrorFiles = m_bDeleteErrorFiles != 0;
    settings.dpi = m_nScreenDpi;
    settings.pageEncoding = ParsePageEncodingChoice(m_strPageEncoding).value_or(PageEncodingChoice::kAuto);
    settings.altText = m_bAltText != 0;
    settings.dimensions = m_bDimensions != 0;
    if (m_bTextColourSet)
        settings.textColour = {m_textColour[0], m_textColour[1], m_textColour[2]};
    if (m_bBackgroundColourSet)
        settings.backgroundColour = {m_backgroundColour[0], m_backgroundColour[1], m_backgroundColour[2]};
    settings.deleteErrorsPerFolder = m_bDeleteErrorsPerFolder;
    settings.hidpi = m_bHiDpi != 0;
    settings.realText = m_bRealText != 0;
    return settings;
}

void CMainDlg::OnDropFiles(const std::vector<std::string>& paths,
                           const std::function<void(CMainDlg&)>& refreshSettings)
{
    if (m_pUi)
        m_pUi->BeginWaitCursor();
    if (refreshSettings)
        refreshSettings(*this);
    ConvertFiles(paths);
    if (m_pUi)
        m_pUi->EndWaitCursor();
}

void CMainDlg::ConvertFiles(const std::vector<std::string>& paths)
{
    const ConversionSettings settings = Settings();
    ConversionRun run{settings, *this};
    run.diagnostics = m_pDiagnostics;
    std::memcpy(run.colours, m_colours, sizeof m_colours);
    RunConversion(run, paths);
    std::memcpy(m_szSourcePath, run.sourcePath, kMaxPath);
    std::memcpy(m_szOutputPath, run.outputPath, kMaxPath);
    std::memcpy(m_szPageDir, run.pageDir, kMaxPath);
    std::memcpy(m_szImageDir, run.imageDir, kMaxPath);
    std::memcpy(m_colours, run.colours, sizeof m_colours);
    m_nImageCount = run.imageCount;
    m_nCreatedCount = run.createdCount;
    m_lastOutcome = run.outcome;
}

int CMainDlg::ConvertPage(FILE* source, FILE* output)
{
    const ConversionSettings settings = Settings();
    PageJob job{settings, m_szImageDir, *this};
    job.diagnostics = m_pDiagnostics;
    job.sourcePath = m_szSourcePath;
    const int result = ScanPage(job, source, output);
    std::memcpy(m_colours, job.colours, sizeof m_colours);
    m_nImageCount = job.imageCount;
    m_nCreatedCount = job.createdCount;
    FreeImageBits();
    return result;
}

int CMainDlg::BuildImageKey(char key[kImageKeyBytes])
{
    return MakeImageKey(m_strFontName, m_strFontSize, m_bTransparent != 0, g_glyphString.bytes,
                        g_glyphString.KeyLength(g_bUnicodeMode), key);
}

}  // namespace sylpic
