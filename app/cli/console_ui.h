#pragma once
// The command line's side of the user interface: log lines to standard
// output, message boxes to standard error, both as UTF-8 with "\n" line ends.
#include "app/user_interface.h"

class ConsoleUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override;
    void LogReplaced(std::string_view text) override;
    void ShowMessageBox(std::string_view text) override;
};
