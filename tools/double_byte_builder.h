#pragma once
// Builds the double-byte mapping table from the same-character rule and the
// lists of exceptions, and writes it out as C++ source.
#include <cstdint>
#include <string>

#include "tools/code_page_source.h"

namespace sylpic {

inline constexpr int kTableRows = 84;
inline constexpr int kRowWidth = 96;
inline constexpr int kTableEntries = kTableRows * kRowWidth;

// Where a cell's entry comes from.
enum class CellSource {
    kEmpty,            // padding cell 0 or 95, a cell code page 932 leaves undefined, or rows 9 to 15
    kRule,             // the same-character rule (its entry is 0 when there is no counterpart)
    kSymbolException,  // one of the punctuation and symbol cells of rows 1 and 2
    kUnmappedKanji,    // a kanji set to 0
    kRemappedKanji,    // a kanji given the code of another character
};

struct TableCell {
    char32_t character;   // what code page 932 decodes the cell to, 0 when undefined
    CellSource source;
    std::uint16_t entry;  // the KS X 1001 code, or 0
};

struct DoubleByteTable {
    TableCell cells[kTableEntries];  // indexed by 96 * (row - 1) + cell
};

inline int TableIndex(int row, int cell) { return kRowWidth * (row - 1) + cell; }

// Fills *table. Returns 0, or -1 with *error set when the code pages are
// missing or an exception list names a character or cell that does not fit.
int BuildDoubleByteTable(const CCp949Catalogue& cp949, DoubleByteTable* table, std::string* error);

// The text of data/double_byte_table.cpp for the table.
std::string FormatDoubleByteTable(const DoubleByteTable& table);

// The one character of a UTF-8 string, or 0 when it is not exactly one.
char32_t DecodeUtf8Character(const char* text);

}  // namespace sylpic
