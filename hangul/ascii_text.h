#pragma once
// ASCII-only case folding and comparison. Block text and image names are
// compared ignoring the case of ASCII letters only, whatever the locale.

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

// Compares the first `count` characters; a text that ends earlier is not equal.
inline bool PrefixEqualsIgnoringCase(const char* text, const char* prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        if (text[i] == '\0' || AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
}
