#pragma once
// The encoding labels a web page may name in a charset declaration, each
// with the name of the encoding it stands for: the browsers' common table of
// labels, in lower case, sorted by label so that it can be searched.
#include <cstddef>
#include <string_view>

namespace sylpic {

struct EncodingLabel {
    std::string_view label;
    std::string_view encoding;
};

inline constexpr int kEncodingLabelCount = 227;
inline constexpr std::size_t kLongestEncodingLabel = 19;  // "cseucpkdfmtjapanese"
extern const EncodingLabel g_encodingLabels[kEncodingLabelCount];

}  // namespace sylpic
