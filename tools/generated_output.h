#pragma once
// The last step of a table generator: its text to standard output, or to the
// file named by its one argument. Returns the generator's exit status.
#include <cstdio>
#include <memory>
#include <string>

namespace sylpic {

inline int WriteGeneratedText(const char* tool, const std::string& text, int argc, char** argv)
{
    if (argc == 1)
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(argv[1], "wb"), &std::fclose);
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() || std::fflush(file.get()) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", tool, argv[1]);
        return 1;
    }
    return 0;
}

}  // namespace sylpic
