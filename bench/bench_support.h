#pragma once
// What the benchmarks share: romanised Korean text to convert, and scratch
// folders and files to convert it in.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace sylpic {

// The conversions' log goes nowhere; a message box goes to standard error.
class SilentUi : public UserInterface {
public:
    void LogAppended(std::string_view) override {}
    void LogReplaced(std::string_view) override {}
    void ShowMessageBox(std::string_view text) override { std::fprintf(stderr, "%.*s\n", int(text.size()), text.data()); }
};

inline double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A romanised syllable. Korean text draws on a few hundred common syllables
// far more than on the rest, so syllables are taken with Zipf-like weights
// from a fixed shuffled list of standard spellings.
inline std::string RandomSyllable(std::mt19937& rng)
{
    static const char* initials[] = {"k", "kk", "n", "t", "tt", "r", "m", "p", "pp", "s",
                                     "ss", "", "j", "jj", "ch", "kh", "th", "ph", "h"};
    static const char* vowels[] = {"a", "ae", "ya", "yae", "eo", "e", "yeo", "ye", "o", "wa", "wae",
                                   "oe", "yo", "u", "wo", "we", "wi", "yu", "eu", "eui", "i"};
    static const char* finals[] = {"", "k", "n", "l", "m", "p", "ng", "", "", "s"};
    static const std::vector<std::string> syllables = [] {
        std::vector<std::string> all;
        for (const char* i : initials)
            for (const char* v : vowels)
                for (const char* f : finals)
                    all.push_back(std::string(i) + v + f);
        std::shuffle(all.begin(), all.end(), std::mt19937(42));
        return all;
    }();
    static std::discrete_distribution<std::size_t> zipf = [] {
        std::vector<double> weights;
        for (std::size_t rank = 1; rank <= syllables.size(); ++rank)
            weights.push_back(1.0 / static_cast<double>(rank));
        return std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
    }();
    return syllables[zipf(rng)];
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

inline std::string MakeScratch(const std::string& root)
{
    std::string pattern = root + "/sylpic-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror(root.c_str());
        std::exit(1);
    }
    return pattern + "/";
}


}  // namespace sylpic
