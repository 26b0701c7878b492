#include "tools/double_byte_builder.h"

#include <cstdio>
#include <map>

#include "tools/double_byte_exceptions.h"

namespace sylpic {

namespace {

// Rows 9 to 15 stay empty, row 13 with the extension characters of code
// page 932 included.
bool IsEmptyRow(int row) { return row >= 9 && row <= 15; }
constexpr int kFirstKanjiRow = 16;

std::string HexCode(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

void AppendUtf8(std::string* out, char32_t u)
{
    if (u < 0x80) {
        *out += static_cast<char>(u);
    } else if (u < 0x800) {
        *out += static_cast<char>(0xC0 | u >> 6);
        *out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        *out += static_cast<char>(0xE0 | u >> 12);
        *out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | u >> 18);
        *out += static_cast<char>(0x80 | (u >> 12 & 0x3F));
        *out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        *out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// The JIS cell of each kanji, for finding the cells the lists name.
std::map<char32_t, int> IndexKanji(const DoubleByteTable& table)
{
    std::map<char32_t, int> where;
    for (int row = kFirstKanjiRow; row <= kTableRows; ++row)
        for (int cell = 1; cell <= 94; ++cell) {
            const int index = TableIndex(row, cell);
            if (table.cells[index].character != 0)
                where.emplace(table.cells[index].character, index);
        }
    return where;
}

int FindKanji(const std::map<char32_t, int>& kanji, const char* text, std::string* error)
{
    const auto it = kanji.find(DecodeUtf8Character(text));
    if (it == kanji.end()) {
        *error = std::string("not a kanji of JIS rows 16 to 84: ") + text;
        return -1;
    }
    return it->second;
}

int ApplySymbolExceptions(DoubleByteTable* table, std::string* error)
{
    for (const SymbolException& exception : g_symbolExceptions) {
        TableCell& cell = table->cells[TableIndex(exception.row, exception.cell)];
        if (cell.character == 0 || cell.character != DecodeUtf8Character(exception.character)) {
            *error = std::string("code page 932 has another character in the cell of ") + exception.character;
            return -1;
        }
        cell.source = CellSource::kSymbolException;
        cell.entry = exception.entry;
    }
    return 0;
}

int ApplyKanjiExceptions(const CCp949Catalogue& cp949, DoubleByteTable* table, std::string* error)
{
    const std::map<char32_t, int> kanji = IndexKanji(*table);
    for (const char* text : g_unmappedKanji) {
        const int index = FindKanji(kanji, text, error);
        if (index < 0)
            return -1;
        table->cells[index].source = CellSource::kUnmappedKanji;
        table->cells[index].entry = 0;
    }
    for (const KanjiRemap& remap : g_kanjiRemaps) {
        const int index = FindKanji(kanji, remap.kanji, error);
        const char32_t target = DecodeUtf8Character(remap.target);
        if (index < 0)
            return -1;
        if (target == 0) {
            *error = std::string("not one character: ") + remap.target;
            return -1;
        }
        table->cells[index].source = CellSource::kRemappedKanji;
        table->cells[index].entry = cp949.LowestCode(target);
    }
    for (const KanjiRemapCode& special : g_kanjiRemapCodes) {
        const int index = FindKanji(kanji, special.kanji, error);
        if (index < 0)
            return -1;
        if (table->cells[index].source != CellSource::kRemappedKanji) {
            *error = std::string("a given code for a kanji that is not remapped: ") + special.kanji;
            return -1;
        }
        table->cells[index].entry = special.entry;
    }
    return 0;
}

}  // namespace

char32_t DecodeUtf8Character(const char* text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int length;
    char32_t u;
    if (bytes[0] == 0)
        return 0;
    if (bytes[0] < 0x80) {
        length = 1;
        u = bytes[0];
    } else if ((bytes[0] & 0xE0) == 0xC0) {
        length = 2;
        u = bytes[0] & 0x1F;
    } else if ((bytes[0] & 0xF0) == 0xE0) {
        length = 3;
        u = bytes[0] & 0x0F;
    } else if ((bytes[0] & 0xF8) == 0xF0) {
        length = 4;
        u = bytes[0] & 0x07;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80)
            return 0;  // also stops at the terminator
        u = u << 6 | (bytes[i] & 0x3F);
    }
    return bytes[length] == 0 ? u : 0;
}

int BuildDoubleByteTable(const CCp949Catalogue& cp949, DoubleByteTable* table, std::string* error)
{
    for (TableCell& cell : table->cells)
        cell = TableCell{0, CellSource::kEmpty, 0};

    for (int row = 1; row <= kTableRows; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            unsigned char lead, trail;
            JisToShiftJis(row, cell, &lead, &trail);
            TableCell& entry = table->cells[TableIndex(row, cell)];
            if (!DecodeCp932(lead, trail, &entry.character))
                continue;  // undefined in code page 932
            if (IsEmptyRow(row))
                continue;
            entry.source = CellSource::kRule;
            entry.entry = cp949.LowestCode(entry.character);
        }
    }
    if (table->cells[TableIndex(1, 1)].character == 0) {
        *error = "the C library's iconv has no CP932 converter";
        return -1;
    }
    if (ApplySymbolExceptions(table, error) < 0 || ApplyKanjiExceptions(cp949, table, error) < 0)
        return -1;
    return 0;
}

std::string FormatDoubleByteTable(const DoubleByteTable& table)
{
    std::string out =
        "// Generated by tools/gen_double_byte_table from the C library's iconv\n"
        "// CP932 and CP949 converters, the canonical decompositions of ICU's\n"
        "// normaliser and the exception lists of tools/double_byte_exceptions.cpp.\n"
        "// Do not edit: change the generator and run\n"
        "//   gen_double_byte_table data/double_byte_table.cpp\n"
        "//\n"
        "// One block of 96 entries per JIS X 0208 row, cells 0 to 95; each line ends\n"
        "// with the code page 932 characters of its cells ('--' where there is none).\n"
        "#include \"data/double_byte_table.h\"\n"
        "\n"
        "namespace sylpic {\n"
        "\n"
        "const std::uint32_t g_doubleByteTable[kDoubleByteTableSize] = {\n";
    for (int row = 1; row <= kTableRows; ++row) {
        unsigned char lead, firstTrail, lastTrail;
        JisToShiftJis(row, 1, &lead, &firstTrail);
        JisToShiftJis(row, 94, &lead, &lastTrail);
        out += row == 1 ? "" : "\n";
        out += "    // row " + std::to_string(row) + ": Shift-JIS " + HexCode(lead << 8 | firstTrail) + " to " +
               HexCode(lead << 8 | lastTrail) + (IsEmptyRow(row) ? ", not mapped" : "") + "\n";
        for (int first = 0; first < kRowWidth; first += 8) {
            std::string characters;
            out += "    ";
            for (int cell = first; cell < first + 8; ++cell) {
                const TableCell& entry = table.cells[TableIndex(row, cell)];
                out += HexCode(entry.entry) + ",";
                out += cell == first + 7 ? "" : " ";
                characters += " ";
                if (entry.character == 0)
                    characters += "--";
                else
                    AppendUtf8(&characters, entry.character);
            }
            out += "  // " + std::to_string(row) + "-" + std::to_string(first) + ":" + characters + "\n";
        }
    }
    out += "};\n\n}  // namespace sylpic\n";
    return out;
}

}  // namespace sylpic
