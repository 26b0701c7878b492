// Writes data/double_byte_table.cpp: the double-byte mapping table built from
// the C library's code page 932 and 949 converters, the canonical
// decompositions of the CJK compatibility ideographs and the exception lists.
//
//   gen_double_byte_table [output-file]    (standard output without one)
#include <cstdio>
#include <memory>
#include <string>

#include "tools/generated_output.h"

#include "tools/double_byte_builder.h"

using namespace sylpic;

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [output-file]\n", argv[0]);
        return 2;
    }
    CCp949Catalogue cp949;
    if (cp949.Load() < 0) {
        std::fprintf(stderr, "gen_double_byte_table: the C library's iconv lacks CP932 or CP949\n");
        return 1;
    }
    auto table = std::make_unique<DoubleByteTable>();
    std::string error;
    if (BuildDoubleByteTable(cp949, table.get(), &error) < 0) {
        std::fprintf(stderr, "gen_double_byte_table: %s\n", error.c_str());
        return 1;
    }
    return WriteGeneratedText("gen_double_byte_table", FormatDoubleByteTable(*table), argc, argv);
}
