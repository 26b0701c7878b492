#include "data/jamo_names.h"

namespace sylpic {

constexpr JamoName g_jamoNames[kJamoNameCount] = {
    // Consonants, 0xA4A1 to 0xA4BE.
    {"k", 1}, {"kk", 2}, {"ks", 3}, {"n", 4}, {"nj", 5}, {"nh", 6},
    {"t", 7}, {"tt", 8}, {"r", 9}, {"rk", 10}, {"rm", 11}, {"rp", 12},
    {"rs", 13}, {"rth", 14}, {"rph", 15}, {"rh", 16}, {"m", 17}, {"p", 18},
    {"pp", 19}, {"ps", 20}, {"s", 21}, {"ss", 22}, {"ng", 23}, {"j", 24},
    {"jj", 25}, {"ch", 26}, {"kh", 27}, {"th", 28}, {"ph", 29}, {"h", 30},
    // Vowels, 0xA4BF to 0xA4D3.
    {"a", 31}, {"ae", 32}, {"ya", 33}, {"yae", 34}, {"eo", 35}, {"e", 36},
    {"yeo", 37}, {"ye", 38}, {"o", 39}, {"wa", 40}, {"wae", 41}, {"oe", 42},
    {"yo", 43}, {"u", 44}, {"wo", 45}, {"we", 46}, {"wi", 47}, {"yu", 48},
    {"eu", 49}, {"eui", 50}, {"i", 51},
    // The Hangul filler, 0xA4D4: a letter run never holds a space, so only
    // the code form reaches it.
    {" ", 52},
    // Old letters, 0xA4D5 to 0xA4FE.
    {"nn", 53}, {"nt", 54}, {"ns", 55}, {"nz", 56}, {"rks", 57}, {"rt", 58},
    {"rps", 59}, {"rz", 60}, {"rq", 61}, {"mp", 62}, {"ms", 63}, {"mz", 64},
    {"mng", 65}, {"pk", 66}, {"pt", 67}, {"psk", 68}, {"pst", 69}, {"pj", 70},
    {"pth", 71}, {"png", 72}, {"ppng", 73}, {"sk", 74}, {"sn", 75}, {"st", 76},
    {"sp", 77}, {"sj", 78}, {"z", 79}, {"ngng", 80}, {"gn", 81}, {"ngs", 82},
    {"ngz", 83}, {"phng", 84}, {"hh", 85}, {"q", 86}, {"yoya", 87},
    {"yoyae", 88}, {"yoi", 89}, {"yuyeo", 90}, {"yuye", 91}, {"yui", 92},
    {"@", 93}, {"@i", 94},
    // Second names.
    {"0", 23}, {"x", 23}, {"woe", 42}, {"weo", 45}, {"yi", 47}, {"00", 80},
};

namespace {

constexpr char LowerCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool SameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && LowerCase(*a) == LowerCase(*b); ++a, ++b) {
    }
    return LowerCase(*a) == LowerCase(*b);
}

// Entry k names the code kFirstJamoCode + k, so the name search can take a
// code's name by its index; every cell is 1 to 94; and no name is given
// twice, ignoring case, as letter runs are read ignoring case.
constexpr bool FirstEntriesAreInCodeOrder()
{
    for (int k = 0; k < kJamoCodeCount; ++k)
        if (g_jamoNames[k].n != k + 1)
            return false;
    return true;
}

constexpr bool CellsAreInRowFourAndNamesUnique()
{
    for (int i = 0; i < kJamoNameCount; ++i) {
        if (g_jamoNames[i].n < 1 || g_jamoNames[i].n > 94)
            return false;
        for (int j = 0; j < i; ++j)
            if (SameIgnoringCase(g_jamoNames[i].name, g_jamoNames[j].name))
                return false;
    }
    return true;
}

static_assert(FirstEntriesAreInCodeOrder(), "entry k names the code 0xA4A1 + k");
static_assert(CellsAreInRowFourAndNamesUnique(), "every name is unique and names a cell of row 4");

}  // namespace

}  // namespace sylpic
