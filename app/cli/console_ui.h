#pragma once
// The command line's side of the user interface: log lines to standard
// output, message boxes and the blocks' diagnostics to standard error, all
// as UTF-8 with "\n" line ends.
#include "app/user_interface.h"
#include "convert/block_diagnostics.h"

class ConsoleUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override;
    void LogReplaced(std::string_view text) override;
    void ShowMessageBox(std::string_view text) override;
};

// Prints each diagnostic as one line in compiler style.
class ConsoleDiagnostics : public BlockDiagnostics {
public:
    void Report(const BlockDiagnostic& diagnostic) override;
    void Warn(std::string_view text) override;
};
