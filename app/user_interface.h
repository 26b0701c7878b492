#pragma once
// How the core reaches the user. The dialog object of the core (CMainDlg)
// never talks to a window or a terminal itself: the Qt dialog and the
// command line each implement this small interface.
#include <string_view>

namespace sylpic {

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // The log text grew by `text` at its end ("\r\n" ends a line).
    virtual void LogAppended(std::string_view text) = 0;
    // The log text was replaced as a whole by `text`.
    virtual void LogReplaced(std::string_view text) = 0;
    // A modal message box with an OK button only; returns when closed.
    virtual void ShowMessageBox(std::string_view text) = 0;
    // Why the failure just logged happened: the file that failed and the
    // system's reason. The dialog shows nothing more than its log line.
    virtual void ReportCause(std::string_view path, std::string_view reason)
    {
        (void)path;
        (void)reason;
    }
    // The busy cursor, shown for the length of a drop.
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

}  // namespace sylpic
