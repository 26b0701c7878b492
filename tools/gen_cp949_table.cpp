// Writes data/cp949_table.cpp: code page 949 decoding read from the C
// library's iconv CP949 converter.
//
//   gen_cp949_table [output-file]    (standard output without one)
#include <cstdio>
#include <memory>
#include <string>

#include "tools/cp949_table_builder.h"

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [output-file]\n", argv[0]);
        return 2;
    }
    auto table = std::make_unique<Cp949Decoding>();
    std::string error;
    if (BuildCp949Decoding(table.get(), &error) < 0) {
        std::fprintf(stderr, "gen_cp949_table: %s\n", error.c_str());
        return 1;
    }
    const std::string text = FormatCp949Table(*table);

    if (argc == 1)
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(argv[1], "wb"), &std::fclose);
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() || std::fflush(file.get()) != 0) {
        std::fprintf(stderr, "gen_cp949_table: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
