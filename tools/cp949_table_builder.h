#pragma once
// Builds the code page 949 decoding table from the C library's iconv CP949
// converter, and writes it out as C++ source.
#include <string>

#include "data/cp949_table.h"

namespace sylpic {

struct Cp949Decoding {
    char16_t units[kCp949TableSize];  // indexed by Cp949TableIndex
};

// Fills *table by decoding every two-byte sequence. Returns 0, or -1 with
// *error set when iconv lacks CP949, when a pair outside the table's ranges
// is one character, or when iconv's encoder is not the exact inverse of the
// table (each unit of the table encodes to its one code, and every other
// unit from 0x80 on to nothing), on which the encoding built from the table
// relies.
int BuildCp949Decoding(Cp949Decoding* table, std::string* error);

// The text of data/cp949_table.cpp for the table.
std::string FormatCp949Table(const Cp949Decoding& table);

}  // namespace sylpic
