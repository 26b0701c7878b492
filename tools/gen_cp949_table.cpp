// Writes data/cp949_table.cpp: code page 949 decoding read from the C
// library's iconv CP949 converter.
//
//   gen_cp949_table [output-file]    (standard output without one)
#include <cstdio>
#include <memory>
#include <string>

#include "tools/generated_output.h"

#include "tools/cp949_table_builder.h"

using namespace sylpic;

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
    return WriteGeneratedText("gen_cp949_table", FormatCp949Table(*table), argc, argv);
}
