#include "app/cli/console_ui.h"

#include <cstdio>
#include <string>

namespace {

void WriteLines(std::FILE* stream, std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // CR LF becomes the terminal's "\n"
        out += text[i];
    }
    std::fwrite(out.data(), 1, out.size(), stream);
    std::fflush(stream);
}

}  // namespace

void ConsoleUi::LogAppended(std::string_view text)
{
    WriteLines(stdout, text);
}

void ConsoleUi::LogReplaced(std::string_view text)
{
    WriteLines(stdout, text);
}

void ConsoleDiagnostics::Report(const BlockDiagnostic& diagnostic)
{
    WriteLines(stderr, FormatBlockDiagnostic(diagnostic) + "\n");
}

void ConsoleDiagnostics::Warn(std::string_view text)
{
    WriteLines(stderr, "sylpic: warning: " + std::string(text) + "\n");
}

void ConsoleUi::ShowMessageBox(std::string_view text)
{
    WriteLines(stderr, text);
    if (text.empty() || text.back() != '\n')
        WriteLines(stderr, "\n");
}
