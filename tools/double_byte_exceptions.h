#pragma once
// The cells of the double-byte mapping table that do not follow the
// same-character rule.
#include <cstdint>

namespace sylpic {

// A punctuation or symbol cell of JIS rows 1 and 2 with its own entry. The
// character is the one code page 932 has in the cell, kept to check the list.
struct SymbolException {
    int row;
    int cell;
    const char* character;  // UTF-8
    std::uint16_t entry;    // 0 for none
};
inline constexpr int kSymbolExceptionCount = 14;
extern const SymbolException g_symbolExceptions[kSymbolExceptionCount];

// Kanji whose entry is 0 although code page 949 has the same character.
inline constexpr int kUnmappedKanjiCount = 12;
extern const char* const g_unmappedKanji[kUnmappedKanjiCount];

// Kanji whose entry is the code of another character, mostly the traditional
// form of a Japanese simplified form: the entry is the lowest code of `target`.
struct KanjiRemap {
    const char* kanji;   // UTF-8, the character of the JIS cell
    const char* target;  // UTF-8, the character whose code is the entry
};
inline constexpr int kKanjiRemapCount = 402;
extern const KanjiRemap g_kanjiRemaps[kKanjiRemapCount];

// Remapped kanji whose entry is a given code of the target, not its lowest.
struct KanjiRemapCode {
    const char* kanji;  // UTF-8
    std::uint16_t entry;
};
inline constexpr int kKanjiRemapCodeCount = 2;
extern const KanjiRemapCode g_kanjiRemapCodes[kKanjiRemapCodeCount];

}  // namespace sylpic
