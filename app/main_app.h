#pragma once
// CMainApp: the program's start-up. It checks that Korean text can be
// converted, finds the Hangul faces, reads the seven settings, runs the main
// dialog modally and writes the settings back when it has closed.
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"

namespace sylpic {

class CMainDlg;

// What start-up needs of the platform: the two checks and the window side.
class StartUpHost {
public:
    virtual ~StartUpHost() = default;
    virtual bool IsCodePage949Available() = 0;
    // The Hangul faces, as font discovery delivers them (may be empty).
    virtual std::vector<std::string> FindHangulFonts() = 0;
    // A modal message box with an OK button only.
    virtual void ShowMessageBox(std::string_view text) = 0;
    // Runs the main dialog modally on `dlg`; returns once it has closed.
    virtual void RunModal(CMainDlg& dlg) = 0;
};

class CMainApp {
public:
    // The settings file is named relative to the current directory.
    explicit CMainApp(std::string profilePath = kSettingsFile) : m_strProfilePath(std::move(profilePath)) {}

    // Runs the whole program once. Always false: the program then ends.
    bool InitInstance(StartUpHost& host);

    const std::string& ProfilePath() const { return m_strProfilePath; }

private:
    std::string m_strProfilePath;
};

}  // namespace sylpic
