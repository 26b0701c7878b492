#include "app/main_app.h"

#include <algorithm>
#include <filesystem>

#include "app/main_dlg.h"
#include "app/profile.h"
#include "res/messages.h"

namespace sylpic {

namespace {

std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

bool CMainApp::InitInstance(StartUpHost& host)
{
    // Without code page 949 nothing can be drawn: end before any setting is read.
    if (!host.IsCodePage949Available()) {
        host.ShowMessageBox(LoadMessage(IDS_NO_KOREAN));
        return false;
    }
    std::vector<std::string> faces = host.FindHangulFonts();
    if (faces.empty()) {
        host.ShowMessageBox(LoadMessage(IDS_NO_HANGUL_FONT));
        return false;
    }

    CMainDlg dlg;
    dlg.m_nFontCount = static_cast<int>(faces.size());
    dlg.m_fontList = std::move(faces);

    ProfileFile profile(m_strProfilePath);
    profile.Load();  // a missing file reads as all defaults
    ReadSettings(profile, dlg);
    // Black text on a white background until a page's body tag says otherwise.
    ResetColourPair(dlg.m_colours);

    host.RunModal(dlg);

    // Written however the dialog closed. The file is read again first so that
    // what others wrote to it meanwhile, outside these seven keys, is kept.
    // A file that cannot be written whole is left as it was, and the user
    // is told which file and why.
    profile.Load();
    WriteSettings(profile, dlg);
    if (!profile.Save()) {
        const FileReplacement& failure = profile.SaveFailure();
        host.ShowMessageBox(FormatSettingsNotSaved(AbsolutePath(failure.path), failure.reason));
    }
    return false;
}

}  // namespace sylpic
