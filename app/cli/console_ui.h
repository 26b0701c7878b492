#pragma once
// The command line's side of the user interface: log lines to standard
// output, message boxes and the blocks' diagnostics to standard error, all
// as UTF-8 with "\n" line ends. A log line is gathered until it is whole
// (the page's path comes before its conversion, the figures after it) and
// then written at once; a write that fails, to either stream, ends the run
// once the line is out.
#include <string>

#include "app/user_interface.h"
#include "convert/block_diagnostics.h"

namespace sylpic {

class ConsoleUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override;
    void LogReplaced(std::string_view text) override;
    void ShowMessageBox(std::string_view text) override;
    // "sylpic: PATH: REASON" on standard error, in one write.
    void ReportCause(std::string_view path, std::string_view reason) override;

    // Writes a log line left without its line end, and takes the progress
    // line away.
    void Flush();
    // Shows "sylpic: N/M pages" on standard error after each page's log
    // line, rewritten in place (for a terminal).
    void ShowProgressOf(int pages) { progressTotal_ = pages; }

private:
    std::string pendingLine_;  // the log's last line, until its line end comes
    int progressTotal_ = 0;
    int pagesDone_ = 0;
};

// Prints each diagnostic as one line in compiler style.
class ConsoleDiagnostics : public BlockDiagnostics {
public:
    void Report(const BlockDiagnostic& diagnostic) override;
    void Warn(std::string_view text) override;
};

}  // namespace sylpic
