// The double-byte mapping table: the committed data against its generator,
// the counts the table is known to have, and the lookup through
// MapDoubleByte.
//
// The table is generated from glibc's iconv CP932 and CP949 converters (glibc
// 2.36 on Debian 12). Every count checked below comes out of them exactly as
// stated for the Windows code pages 932 and 949: where the JIS and KS
// standard mappings and Microsoft's differ, both converters follow
// Microsoft's (CodePagesFollowMicrosoftTables), and 949 keeps its 268
// compatibility ideographs U+F900 to U+FA0B.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "data/double_byte_table.h"
#include "hangul/double_byte.h"
#include "tools/double_byte_builder.h"
#include "tools/double_byte_exceptions.h"

using namespace sylpic;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Entry(int row, int cell) { return static_cast<int>(g_doubleByteTable[TableIndex(row, cell)] & 0xFFFF); }

class DoubleByteTableTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_cp949 = new CCp949Catalogue;
        s_table = new DoubleByteTable;
        s_loaded = s_cp949->Load();
        s_built = BuildDoubleByteTable(*s_cp949, s_table, &s_error);
    }
    static void TearDownTestSuite()
    {
        delete s_table;
        delete s_cp949;
        s_table = nullptr;
        s_cp949 = nullptr;
    }
    void SetUp() override
    {
        ASSERT_EQ(s_loaded, 0) << "iconv lacks CP932 or CP949";
        ASSERT_EQ(s_built, 0) << s_error;
    }

    static const TableCell& Cell(int row, int cell) { return s_table->cells[TableIndex(row, cell)]; }

    static CCp949Catalogue* s_cp949;
    static DoubleByteTable* s_table;
    static int s_loaded;
    static int s_built;
    static std::string s_error;
};
CCp949Catalogue* DoubleByteTableTest::s_cp949 = nullptr;
DoubleByteTable* DoubleByteTableTest::s_table = nullptr;
int DoubleByteTableTest::s_loaded = -1;
int DoubleByteTableTest::s_built = -1;
std::string DoubleByteTableTest::s_error;

// The committed data can never drift from its rule: the generator, run
// again, writes the committed file byte for byte.
TEST_F(DoubleByteTableTest, GeneratorRebuildsTheCommittedSource)
{
    const std::string committed = ReadFile(SYLPIC_SOURCE_DIR "/data/double_byte_table.cpp");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(FormatDoubleByteTable(*s_table) == committed)
        << "data/double_byte_table.cpp differs from what the generator writes";

    const std::string output = testing::TempDir() + "double_byte_table_generated.cpp";
    std::remove(output.c_str());
    const std::string command = std::string("\"") + SYLPIC_TABLE_GENERATOR + "\" \"" + output + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(ReadFile(output) == committed) << "the generator program wrote another table";
    std::remove(output.c_str());
}

// The characters on which the JIS and KS standard mappings and Windows'
// code pages disagree. Were the converters to follow the standards, rows 1
// and 2 would lose or change entries.
TEST_F(DoubleByteTableTest, CodePagesFollowMicrosoftTables)
{
    const struct {
        unsigned char lead, trail;
        char32_t u;
    } cp932[] = {
        {0x81, 0x5C, U'\u2015'}, {0x81, 0x5F, U'\uFF3C'}, {0x81, 0x60, U'\uFF5E'}, {0x81, 0x61, U'\u2225'},
        {0x81, 0x7C, U'\uFF0D'}, {0x81, 0x91, U'\uFFE0'}, {0x81, 0x92, U'\uFFE1'}, {0x81, 0xCA, U'\uFFE2'},
    };
    for (const auto& c : cp932) {
        char32_t u = 0;
        EXPECT_EQ(DecodeCp932(c.lead, c.trail, &u), 1);
        EXPECT_EQ(u, c.u) << std::hex << (c.lead << 8 | c.trail);
    }
    EXPECT_EQ(s_cp949->Decode(0xA1A4), U'\u00B7');
    EXPECT_EQ(s_cp949->Decode(0xA1A9), U'\u00AD');
    EXPECT_EQ(s_cp949->Decode(0xA1AA), U'\u2015');
    EXPECT_EQ(s_cp949->Decode(0xA1AB), U'\u2225');
    EXPECT_EQ(s_cp949->Decode(0xA1AC), U'\uFF3C');
    EXPECT_EQ(s_cp949->Decode(0xA1AD), U'\u223C');
    EXPECT_EQ(s_cp949->Decode(0xA2A6), U'\uFF5E');

    int compatibility = 0;
    for (int code = 0xCAA1; code <= 0xFDFE; ++code) {
        const char32_t u = s_cp949->Decode(static_cast<std::uint16_t>(code));
        if (u >= 0xF900 && u <= 0xFAFF) {
            ++compatibility;
            EXPECT_NE(UnifyIdeograph(u), u) << std::hex << code;
        }
    }
    EXPECT_EQ(compatibility, 268);
}

TEST_F(DoubleByteTableTest, CompiledTableHoldsTheGeneratedEntries)
{
    ASSERT_EQ(kDoubleByteTableSize, 8064);
    ASSERT_EQ(kTableEntries, kDoubleByteTableSize);
    ASSERT_EQ(sizeof g_doubleByteTable, 8064 * sizeof(std::uint32_t));
    for (int i = 0; i < kDoubleByteTableSize; ++i) {
        EXPECT_EQ(g_doubleByteTable[i] >> 16, 0u) << "entry " << i;
        EXPECT_EQ(g_doubleByteTable[i], s_table->cells[i].entry) << "entry " << i;
    }
}

TEST_F(DoubleByteTableTest, EntryAndCodeCounts)
{
    int nonZero = 0;
    std::set<std::uint32_t> codes;
    for (std::uint32_t entry : g_doubleByteTable) {
        if (entry == 0)
            continue;
        ++nonZero;
        codes.insert(entry);
        // Both bytes of a KS X 1001 code lie in 0xA1 to 0xFE.
        EXPECT_GE(entry >> 8, 0xA1u);
        EXPECT_LE(entry >> 8, 0xFEu);
        EXPECT_GE(entry & 0xFF, 0xA1u);
        EXPECT_LE(entry & 0xFF, 0xFEu);
    }
    EXPECT_EQ(nonZero, 4990);
    EXPECT_EQ(codes.size(), 4700u);

    const int expectedPerRow[9] = {0, 88, 50, 62, 83, 86, 48, 66, 32};
    for (int row = 1; row <= 8; ++row) {
        int count = 0;
        for (int cell = 0; cell < 96; ++cell)
            count += Entry(row, cell) != 0;
        EXPECT_EQ(count, expectedPerRow[row]) << "row " << row;
    }
}

TEST_F(DoubleByteTableTest, PaddingCellsAndRowsNineToFifteenAreEmpty)
{
    for (int row = 1; row <= 84; ++row) {
        EXPECT_EQ(Entry(row, 0), 0) << "row " << row;
        EXPECT_EQ(Entry(row, 95), 0) << "row " << row;
    }
    for (int row = 9; row <= 15; ++row)
        for (int cell = 0; cell < 96; ++cell)
            EXPECT_EQ(Entry(row, cell), 0) << row << "-" << cell;
    // Code page 932 does define row 13 (circled digits, Roman numerals, unit
    // symbols); it stays empty all the same.
    EXPECT_EQ(Cell(13, 1).character, U'①');
}

// Rows 3 to 8 map cell for cell onto a KS X 1001 row.
TEST_F(DoubleByteTableTest, KanaGreekCyrillicAndBoxDrawingRows)
{
    struct RowRule {
        int row;
        int base;
        int ranges[3][2];
    };
    const RowRule rules[] = {
        {3, 0xA3A0, {{16, 25}, {33, 58}, {65, 90}}},  // digits and Latin letters
        {4, 0xAAA0, {{1, 83}, {0, -1}, {0, -1}}},      // hiragana
        {5, 0xABA0, {{1, 86}, {0, -1}, {0, -1}}},      // katakana
        {6, 0xA5C0, {{1, 24}, {33, 56}, {0, -1}}},     // Greek
        {7, 0xACA0, {{1, 33}, {49, 81}, {0, -1}}},     // Cyrillic
        {8, 0xA6A0, {{1, 32}, {0, -1}, {0, -1}}},      // box drawing
    };
    for (const RowRule& rule : rules) {
        for (int cell = 0; cell < 96; ++cell) {
            bool inRange = false;
            for (const auto& range : rule.ranges)
                inRange = inRange || (cell >= range[0] && cell <= range[1]);
            EXPECT_EQ(Entry(rule.row, cell), inRange ? rule.base + cell : 0) << rule.row << "-" << cell;
        }
    }
}

TEST_F(DoubleByteTableTest, KanjiCounts)
{
    int kanji = 0, withCode = 0, byRule = 0, encoderDiffers = 0, withoutCounterpart = 0, unmapped = 0,
        remapped = 0;
    for (int row = 16; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            const TableCell& entry = Cell(row, cell);
            if (entry.character == 0)
                continue;
            ++kanji;
            if (entry.entry != 0) {
                ++withCode;
                EXPECT_GE(entry.entry, 0xCAA1) << row << "-" << cell;  // the hanja of KS X 1001
                EXPECT_LE(entry.entry, 0xFDFE) << row << "-" << cell;
            }
            switch (entry.source) {
            case CellSource::kRule:
                if (entry.entry == 0) {
                    ++withoutCounterpart;
                } else {
                    ++byRule;
                    encoderDiffers += s_cp949->EncodedCode(entry.character) != entry.entry;
                }
                break;
            case CellSource::kUnmappedKanji:
                ++unmapped;
                break;
            case CellSource::kRemappedKanji:
                ++remapped;
                break;
            default:
                ADD_FAILURE() << "kanji cell " << row << "-" << cell << " of another kind";
            }
        }
    }
    EXPECT_EQ(kanji, 6355);
    EXPECT_EQ(withCode, 4475);
    EXPECT_EQ(byRule, 4073);
    EXPECT_EQ(encoderDiffers, 94);
    EXPECT_EQ(withoutCounterpart, 1868);
    EXPECT_EQ(unmapped, 12);
    EXPECT_EQ(remapped, 402);
}

// 金 has two hanja codes in code page 949: 0xD0DD decodes to the
// compatibility ideograph U+F90A, 0xD1D1 to U+91D1 itself. The table keeps
// the lower; the encoder returns the other.
TEST_F(DoubleByteTableTest, LowestCodeOfAHanjaWithSeveralReadings)
{
    EXPECT_EQ(MapDoubleByte(0x8B, 0xE0), 0xD0DD);
    EXPECT_EQ(s_cp949->EncodedCode(U'金'), 0xD1D1);
    EXPECT_EQ(s_cp949->Decode(0xD0DD), U'\uF90A');
    EXPECT_EQ(UnifyIdeograph(U'\uF90A'), U'金');
}

TEST_F(DoubleByteTableTest, UnmappedKanjiHaveACounterpartYetGiveZero)
{
    for (const char* text : g_unmappedKanji) {
        const char32_t kanji = DecodeUtf8Character(text);
        ASSERT_NE(kanji, 0u) << text;
        int found = 0;
        for (int i = 0; i < kTableEntries; ++i) {
            if (s_table->cells[i].character != kanji || s_table->cells[i].source != CellSource::kUnmappedKanji)
                continue;
            ++found;
            EXPECT_EQ(g_doubleByteTable[i], 0u) << text;
        }
        EXPECT_EQ(found, 1) << text;
        EXPECT_NE(s_cp949->LowestCode(kanji), 0) << text << " has no code page 949 code at all";
    }
}

TEST_F(DoubleByteTableTest, RemappedKanjiTakeTheLowestCodeOfTheirTarget)
{
    std::set<char32_t> remapped;
    for (const KanjiRemap& remap : g_kanjiRemaps) {
        const char32_t kanji = DecodeUtf8Character(remap.kanji);
        const char32_t target = DecodeUtf8Character(remap.target);
        EXPECT_TRUE(remapped.insert(kanji).second) << remap.kanji << " listed twice";
        const std::uint16_t lowest = s_cp949->LowestCode(target);
        EXPECT_NE(lowest, 0) << remap.target;
        if (kanji == U'涼' || kanji == U'燗')
            continue;
        int found = 0;
        for (int i = 0; i < kTableEntries; ++i) {
            if (s_table->cells[i].character == kanji && s_table->cells[i].source == CellSource::kRemappedKanji) {
                ++found;
                EXPECT_EQ(g_doubleByteTable[i], lowest) << remap.kanji << " -> " << remap.target;
            }
        }
        EXPECT_EQ(found, 1) << remap.kanji;
    }
    EXPECT_EQ(remapped.size(), 402u);
    // 穎 is remapped itself, yet 頴 takes the lowest code of 穎, not 穎's entry.
    EXPECT_EQ(s_cp949->LowestCode(U'穎'), 0xE7C4);
    EXPECT_EQ(MapDoubleByte(0x89, 0x6F), 0xE7C4);  // 頴
}

// Two remapped kanji hold a code that is not the lowest of their target:
// 凉 has 0xD5D8 and 0xE5BC (its compatibility form U+F979), 爛 has 0xD1EF
// (U+F91E) and 0xD5B4.
TEST_F(DoubleByteTableTest, RemappedKanjiWithAGivenCode)
{
    EXPECT_EQ(MapDoubleByte(0x97, 0xC1), 0xE5BC);  // 涼
    EXPECT_EQ(s_cp949->LowestCode(U'凉'), 0xD5D8);
    EXPECT_EQ(UnifyIdeograph(s_cp949->Decode(0xE5BC)), U'凉');

    EXPECT_EQ(MapDoubleByte(0xE0, 0x93), 0xD5B4);  // 燗
    EXPECT_EQ(s_cp949->LowestCode(U'爛'), 0xD1EF);
    EXPECT_EQ(s_cp949->Decode(0xD5B4), U'爛');

    EXPECT_EQ(s_cp949->LowestCode(U'涼'), 0);  // 涼 itself is no hanja of KS X 1001
    EXPECT_EQ(s_cp949->LowestCode(U'燗'), 0);
}

TEST_F(DoubleByteTableTest, PunctuationAndSymbolExceptions)
{
    for (const SymbolException& exception : g_symbolExceptions) {
        EXPECT_EQ(Entry(exception.row, exception.cell), exception.entry) << exception.character;
        EXPECT_EQ(Cell(exception.row, exception.cell).character, DecodeUtf8Character(exception.character));
    }
    // Five of them override a code the rule gives: 、 and 。 have their own
    // KS X 1001 codes, ～ the wave dash of row 2, ＝ the full-width equals
    // sign and 〓 the geta mark.
    EXPECT_EQ(s_cp949->LowestCode(U'、'), 0xA1A2);
    EXPECT_EQ(s_cp949->LowestCode(U'。'), 0xA1A3);
    EXPECT_EQ(s_cp949->LowestCode(U'～'), 0xA2A6);
    EXPECT_EQ(s_cp949->LowestCode(U'＝'), 0xA3BD);
    EXPECT_EQ(s_cp949->LowestCode(U'〓'), 0xA1EB);
    // The other nine fill a cell the rule leaves empty.
    for (const char32_t u : {U'・', U'゛', U'゜', U'〇', U'ー', U'‐', U'≦', U'≧', U'◯'})
        EXPECT_EQ(s_cp949->LowestCode(u), 0) << static_cast<unsigned>(u);
}

TEST(MapDoubleByteTest, CharactersOfEveryKind)
{
    EXPECT_EQ(MapDoubleByte(0x81, 0x41), 0xA3AC);  // 、 as full-width comma
    EXPECT_EQ(MapDoubleByte(0x81, 0x42), 0xA3AE);  // 。 as full-width full stop
    EXPECT_EQ(MapDoubleByte(0x82, 0xA0), 0xAAA2);  // あ
    EXPECT_EQ(MapDoubleByte(0x83, 0x41), 0xABA2);  // ア
    EXPECT_EQ(MapDoubleByte(0x83, 0x9F), 0xA5C1);  // Α
    EXPECT_EQ(MapDoubleByte(0x84, 0x40), 0xACA1);  // А
    EXPECT_EQ(MapDoubleByte(0x84, 0x9F), 0xA6A1);  // ─
    EXPECT_EQ(MapDoubleByte(0x8A, 0xBF), 0xF9D3);  // 漢
    EXPECT_EQ(MapDoubleByte(0x8A, 0xD8), 0xF9DB);  // 韓
    EXPECT_EQ(MapDoubleByte(0x81, 0x58), 0);       // 々
    EXPECT_EQ(MapDoubleByte(0x81, 0xA7), 0);       // 〒
    EXPECT_EQ(MapDoubleByte(0x87, 0x40), 0);       // ①, row 13
    EXPECT_EQ(MapDoubleByte(0x81, 0xAC), 0);       // 〓
    EXPECT_EQ(MapDoubleByte(0x81, 0xFC), 0xA1DB);  // ◯
    EXPECT_EQ(MapDoubleByte(0x88, 0x9F), 0xE4AC);  // 亜 as 亞, the first kanji
    EXPECT_EQ(MapDoubleByte(0xEA, 0xA4), 0);       // 熙, the last kanji, set to 0
    EXPECT_EQ(MapDoubleByte(0xEA, 0xA1), 0xE9AB);  // 遙, in the last row
}

// Every pair of a lead and a trail byte reaches the entry of its own row and
// cell; rows 85 and up, the extension characters of code page 932 among
// them, and bytes outside the two classes give 0.
TEST(MapDoubleByteTest, EveryBytePair)
{
    int mappedPairs = 0;
    for (int row = 1; row <= 84; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            unsigned char lead, trail;
            JisToShiftJis(row, cell, &lead, &trail);
            EXPECT_EQ(MapDoubleByte(lead, trail), static_cast<int>(g_doubleByteTable[TableIndex(row, cell)]))
                << row << "-" << cell;
            mappedPairs += MapDoubleByte(lead, trail) != 0;
        }
    }
    EXPECT_EQ(mappedPairs, 4990);

    for (int lead = 0xEB; lead <= 0xFC; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail)
            EXPECT_EQ(MapDoubleByte(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)), 0)
                << std::hex << lead << " " << trail;

    int outsideClasses = 0;
    for (int lead = 0; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
            const bool isTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
            if (isLead && isTrail)
                continue;
            ++outsideClasses;
            EXPECT_EQ(MapDoubleByte(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)), 0)
                << std::hex << lead << " " << trail;
        }
    }
    EXPECT_EQ(outsideClasses, 65536 - 60 * 188);
}

TEST(DoubleByteGeneratorTest, Utf8CharactersOfTheLists)
{
    EXPECT_EQ(DecodeUtf8Character("A"), U'A');
    EXPECT_EQ(DecodeUtf8Character("±"), U'±');
    EXPECT_EQ(DecodeUtf8Character("亜"), U'亜');
    EXPECT_EQ(DecodeUtf8Character("\xF0\xA0\x80\x8B"), U'\U0002000B');
    EXPECT_EQ(DecodeUtf8Character(""), 0u);
    EXPECT_EQ(DecodeUtf8Character("亜亞"), 0u);     // two characters
    EXPECT_EQ(DecodeUtf8Character("\xE4\xBA"), 0u);  // cut short
    EXPECT_EQ(DecodeUtf8Character("\x80"), 0u);      // a continuation byte alone
}

TEST(DoubleByteGeneratorTest, JisRowAndCellToShiftJis)
{
    unsigned char lead, trail;
    JisToShiftJis(1, 1, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0x8140);
    JisToShiftJis(1, 63, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0x817E);
    JisToShiftJis(1, 64, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0x8180);  // 0x7F is no trail byte
    JisToShiftJis(2, 1, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0x819F);
    JisToShiftJis(62, 94, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0x9FFC);
    JisToShiftJis(63, 1, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0xE040);
    JisToShiftJis(84, 6, &lead, &trail);
    EXPECT_EQ(lead << 8 | trail, 0xEAA4);
}

}  // namespace
