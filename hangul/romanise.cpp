#include "hangul/romanise.h"

#include <span>

#include "data/jamo_names.h"
#include "hangul/ascii_text.h"
#include "hangul/code_page.h"

namespace sylpic {

namespace {

// ---------------------------------------------------------------------------
// Hangul letters by name: "*" followed by a name of the jamo name table.

unsigned FindJamoName(const char* name)
{
    for (const JamoName& entry : g_jamoNames) {
        if (EqualsIgnoringCase(name, entry.name))
            return 0xA4A0u + static_cast<unsigned>(entry.n);
    }
    return 0;
}

// Rewrites the spellings g, d, b, l and q as the table's k, t, p, r and h.
// Returns true when anything was replaced.
bool ReplaceAlternativeLetters(char* name)
{
    bool replaced = false;
    for (char* p = name; *p != '\0'; ++p) {
        char to = 0;
        switch (AsciiLower(*p)) {
        case 'g': to = 'k'; break;
        case 'd': to = 't'; break;
        case 'b': to = 'p'; break;
        case 'l': to = 'r'; break;
        case 'q': to = 'h'; break;
        default: break;
        }
        if (to != 0) {
            *p = to;
            replaced = true;
        }
    }
    return replaced;
}

unsigned ComposeLetterByName(char* run)
{
    char* name = run + 1;  // after the asterisk
    if (*name == '\0')
        return 0;
    if (unsigned code = FindJamoName(name))
        return code;
    if (!ReplaceAlternativeLetters(name))
        return 0;
    return FindJamoName(name);
}

// ---------------------------------------------------------------------------
// Syllables: a letter-by-letter state machine over the three slots, indexed
// as in the composition U+AC00 + (L * 21 + V) * 28 + T.

// Initial consonants L.
enum : int {
    kL_G, kL_GG, kL_N, kL_D, kL_DD, kL_R, kL_M, kL_B, kL_BB, kL_S,
    kL_SS, kL_NG, kL_J, kL_JJ, kL_CH, kL_K, kL_T, kL_P, kL_H, kNoInitial
};
// Vowels V.
enum : int {
    kV_A, kV_AE, kV_YA, kV_YAE, kV_EO, kV_E, kV_YEO, kV_YE, kV_O, kV_WA, kV_WAE,
    kV_OE, kV_YO, kV_U, kV_WO, kV_WE, kV_WI, kV_YU, kV_EU, kV_EUI, kV_I, kNoVowel
};
// Final consonants T; 0 means none once the syllable is complete.
enum : int {
    kT_G = 1, kT_GG, kT_GS, kT_N, kT_NJ, kT_NH, kT_D, kT_L, kT_LG, kT_LM,
    kT_LB, kT_LS, kT_LT, kT_LP, kT_LH, kT_M, kT_B, kT_BS, kT_S, kT_SS,
    kT_NG, kT_J, kT_CH, kT_K, kT_T, kT_P, kT_H, kNoFinal
};

struct Move {
    int from;
    int to;
};

// Consonant letters: the moves on the initial slot (while no vowel is set)
// and on the final slot (after the vowel).
constexpr Move kInitialGK[] = {{kNoInitial, kL_G}, {kL_G, kL_GG}};
constexpr Move kFinalGK[] = {{kNoFinal, kT_G}, {kT_G, kT_GG}, {kT_N, kT_NG}, {kT_L, kT_LG}};
constexpr Move kInitialN[] = {{kNoInitial, kL_N}};
constexpr Move kFinalN[] = {{kNoFinal, kT_N}};
constexpr Move kInitialDT[] = {{kNoInitial, kL_D}, {kL_D, kL_DD}};
constexpr Move kFinalDT[] = {{kNoFinal, kT_D}, {kT_L, kT_LT}};
constexpr Move kInitialLR[] = {{kNoInitial, kL_R}};
constexpr Move kFinalLR[] = {{kNoFinal, kT_L}};
constexpr Move kInitialM[] = {{kNoInitial, kL_M}};
constexpr Move kFinalM[] = {{kNoFinal, kT_M}, {kT_L, kT_LM}};
constexpr Move kInitialBP[] = {{kNoInitial, kL_B}, {kL_B, kL_BB}};
constexpr Move kFinalBP[] = {{kNoFinal, kT_B}, {kT_L, kT_LB}};
constexpr Move kInitialS[] = {{kNoInitial, kL_S}, {kL_S, kL_SS}};
constexpr Move kFinalS[] = {{kNoFinal, kT_S}, {kT_G, kT_GS}, {kT_L, kT_LS}, {kT_B, kT_BS}, {kT_S, kT_SS}};
constexpr Move kInitialX[] = {{kNoInitial, kL_NG}};
constexpr Move kFinalX[] = {{kNoFinal, kT_NG}};
constexpr Move kInitialCJ[] = {{kNoInitial, kL_J}, {kL_J, kL_JJ}};
constexpr Move kFinalCJ[] = {{kNoFinal, kT_J}, {kT_N, kT_NJ}};
constexpr Move kInitialH[] = {{kNoInitial, kL_H}, {kL_G, kL_K}, {kL_D, kL_T}, {kL_B, kL_P}, {kL_J, kL_CH}};
constexpr Move kFinalH[] = {{kNoFinal, kT_H}, {kT_G, kT_K}, {kT_N, kT_NH}, {kT_D, kT_T},
                            {kT_L, kT_LH}, {kT_LB, kT_LP}, {kT_LT, kT_LT}, {kT_B, kT_P},
                            {kT_J, kT_CH}};

// Vowel letters: the moves on the vowel slot (with no final set).
constexpr Move kVowelA[] = {{kNoVowel, kV_A}, {kV_U, kV_WA}, {kV_I, kV_YA}};
constexpr Move kVowelE[] = {{kNoVowel, kV_E}, {kV_A, kV_AE}, {kV_YA, kV_YAE}, {kV_O, kV_OE},
                            {kV_WA, kV_WAE}, {kV_U, kV_WE}, {kV_WO, kV_OE}, {kV_I, kV_YE}};
constexpr Move kVowelI[] = {{kNoVowel, kV_I}, {kV_O, kV_OE}, {kV_U, kV_WI}, {kV_EU, kV_EUI}, {kV_I, kV_WI}};
constexpr Move kVowelO[] = {{kNoVowel, kV_O}, {kV_E, kV_EO}, {kV_YE, kV_YEO}, {kV_U, kV_WO},
                            {kV_WE, kV_WO}, {kV_I, kV_YO}};
constexpr Move kVowelU[] = {{kNoVowel, kV_U}, {kV_E, kV_EU}, {kV_I, kV_YU}};
constexpr Move kVowelW[] = {{kNoVowel, kV_U}};
constexpr Move kVowelY[] = {{kNoVowel, kV_I}};

enum class LetterClass { kNone, kConsonant, kVowel };

struct LetterRule {
    LetterClass letterClass = LetterClass::kNone;
    std::span<const Move> initialOrVowel;  // the vowel moves for a vowel letter
    std::span<const Move> finalMoves;
};

LetterRule RuleFor(char lower)
{
    switch (lower) {
    case 'g': case 'k': return {LetterClass::kConsonant, kInitialGK, kFinalGK};
    case 'n': return {LetterClass::kConsonant, kInitialN, kFinalN};
    case 'd': case 't': return {LetterClass::kConsonant, kInitialDT, kFinalDT};
    case 'l': case 'r': return {LetterClass::kConsonant, kInitialLR, kFinalLR};
    case 'm': return {LetterClass::kConsonant, kInitialM, kFinalM};
    case 'b': case 'p': return {LetterClass::kConsonant, kInitialBP, kFinalBP};
    case 's': return {LetterClass::kConsonant, kInitialS, kFinalS};
    case 'x': return {LetterClass::kConsonant, kInitialX, kFinalX};
    case 'c': case 'j': return {LetterClass::kConsonant, kInitialCJ, kFinalCJ};
    case 'h': return {LetterClass::kConsonant, kInitialH, kFinalH};
    case 'a': return {LetterClass::kVowel, kVowelA, {}};
    case 'e': return {LetterClass::kVowel, kVowelE, {}};
    case 'i': return {LetterClass::kVowel, kVowelI, {}};
    case 'o': return {LetterClass::kVowel, kVowelO, {}};
    case 'u': return {LetterClass::kVowel, kVowelU, {}};
    case 'w': return {LetterClass::kVowel, kVowelW, {}};
    case 'y': return {LetterClass::kVowel, kVowelY, {}};
    default: return {};  // f, q, v, z, digits, '*', '@': never part of a syllable
    }
}

// Applies the move for `state`; returns false when there is none.
bool ApplyMove(std::span<const Move> moves, int* state)
{
    for (const Move& move : moves) {
        if (move.from == *state) {
            *state = move.to;
            return true;
        }
    }
    return false;
}

unsigned ComposeSyllableFromLetters(const char* run)
{
    int initial = kNoInitial;
    int vowel = kNoVowel;
    int finalSlot = kNoFinal;
    for (const char* p = run; *p != '\0'; ++p) {
        const LetterRule rule = RuleFor(AsciiLower(*p));
        switch (rule.letterClass) {
        case LetterClass::kVowel:
            if (finalSlot != kNoFinal || !ApplyMove(rule.initialOrVowel, &vowel))
                return 0;  // a vowel after the final consonant, or no such vowel
            break;
        case LetterClass::kConsonant:
            if (vowel == kNoVowel ? !ApplyMove(rule.initialOrVowel, &initial)
                                  : !ApplyMove(rule.finalMoves, &finalSlot))
                return 0;
            break;
        case LetterClass::kNone:
            return 0;
        }
    }
    if (vowel == kNoVowel)
        return 0;
    if (initial == kNoInitial)
        initial = kL_NG;  // the silent initial
    if (finalSlot == kNoFinal)
        finalSlot = 0;
    const char16_t syllable = static_cast<char16_t>(0xAC00 + (initial * 21 + vowel) * 28 + finalSlot);
    unsigned char bytes[2];
    if (UnitToCp949(syllable, bytes) != 2)
        return 0;
    return (static_cast<unsigned>(bytes[0]) << 8) | bytes[1];
}

}  // namespace

unsigned ComposeSyllable(char* run)
{
    if (run[0] == '*')
        return ComposeLetterByName(run);
    return ComposeSyllableFromLetters(run);
}

}  // namespace sylpic
