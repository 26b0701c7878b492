#pragma once
// UTF-8 text: decoding one character at a time as browsers decode it,
// counting errors the same way, and encoding.
#include <cstddef>
#include <string>

namespace sylpic {

enum class Utf8Result {
    kCharacter,  // one well-formed character
    kInvalid,    // an ill-formed sequence: one error
    kCut,        // a well-formed start of a character that the end of the bytes cuts off
};

struct Utf8Step {
    Utf8Result result;
    char32_t character;  // the character for kCharacter, else 0
    int length;          // the bytes taken, 1 to 4
};

// Decodes the character at bytes[position], position < size, reading no byte
// at or past `size`. An ill-formed sequence is taken up to the byte that
// cannot continue it (that byte stays for the next step), so each maximal
// part of it is one kInvalid step, as browsers count replacement characters.
// The caller steps on by `length` in every case.
Utf8Step DecodeUtf8Step(const unsigned char* bytes, std::size_t size, std::size_t position);

// Appends the character's UTF-8 bytes; a surrogate or a value past U+10FFFF,
// which UTF-8 cannot carry, is written as U+FFFD.
void AppendUtf8(char32_t character, std::string& text);

}  // namespace sylpic
