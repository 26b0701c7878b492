#pragma once
// How the block parser reports each character it reads, so that the image
// naming above it can build the image's readable name. The parser only calls
// the sink; what a name is made of is decided by whoever passes it.

namespace sylpic {

// Name kinds passed with each character.
enum NameKind : int {
    kNameSyllable = 0,    // romanised syllable or letter; value: its 949 code
    kNameDoubleByte = 1,  // a full-width character; value: its KS X 1001 code
    kNameAscii = 2,       // a literal ASCII character
    kNameCodeForm = 3,    // &$xxxx; or &#ddddd;
    kNameError = 4,
};

// Receives one character: its kind and its value (only the low 16 bits
// count). A null sink ignores every character.
using NameSink = void (*)(int kind, unsigned value);

}  // namespace sylpic
