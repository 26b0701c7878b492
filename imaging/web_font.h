#pragma once
// Web fonts for real text: a subset of a face holding exactly the given
// characters, written as WOFF2, under a family name of its own.
//
//   WebFontFace face;
//   if (LoadWebFontFace(path, index, face) == ImagingStatus::kOk &&
//       ReadEmbeddingPermission(face.fsType) == EmbeddingPermission::kAllowed) {
//       ByteBuffer woff2;
//       SubsetToWoff2(face, codePoints, "sylpic-0123456789abcdef", woff2);
//   }
//
// A face is read and parsed once (LoadWebFontFace) and then subset as often
// as needed. The subset drops hinting and keeps the face's kerning pairs
// among the glyphs it holds. Its names follow the face's licence: the
// family, full, unique, PostScript and typographic family names (name IDs
// 1, 3, 4, 6 and 16) become the given family (4 and 6 with "-" and the
// weight class), in every language; the copyright, subfamily, version,
// trademark, licence and licence URL (0, 2, 5, 7, 13, 14) and the
// typographic subfamily (17) are kept as they are; every other name goes,
// and so do the legacy Macintosh records (as HarfBuzz and fontTools drop
// them), which browsers do not read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/byte_buffer.h"
#include "imaging/imaging_status.h"

namespace sylpic {

// What a face's licence bits (OS/2 fsType) allow a web-font subset.
enum class EmbeddingPermission {
    kAllowed = 0,
    kRestricted,    // 0x0002 with neither 0x0004 nor 0x0008: no embedding at all
    kNoSubsetting,  // 0x0100: only the whole face may be embedded
    kBitmapOnly,    // 0x0200: no outlines may be embedded
};
// Among bits 0-3 the least restrictive set bit applies; bits 8 and 9 each
// forbid what they say.
EmbeddingPermission ReadEmbeddingPermission(std::uint16_t fsType);
// The bit and what it forbids, as one line ("fsType 0x0100: ...").
std::string EmbeddingPermissionText(EmbeddingPermission permission);

// The face file as read once: its bytes and the parsed face.
struct WebFontFaceData;

struct WebFontFace {
    std::string path;
    int index = 0;
    int weight = 400;            // OS/2 usWeightClass
    std::uint16_t fsType = 0;    // OS/2 fsType
    std::uint32_t checkSumAdjustment = 0;  // from head
    std::uint32_t fontRevision = 0;        // from head, 16.16 fixed
    std::uint64_t fileSize = 0;
    std::shared_ptr<const WebFontFaceData> data;
};

// The faces of one run's web fonts: the chosen face first, then the other
// weights of its family.
struct WebFontFamily {
    std::vector<WebFontFace> faces;
};

// kFontUnreadable when the face file cannot be read, or is no font.
ImagingStatus LoadWebFontFace(const std::string& path, int index, WebFontFace& face);

// 16 lower-case hex digits of SHA-256 over, for each face, its head's
// checkSumAdjustment and fontRevision (as the file holds them) and its file
// size (8 bytes, little-endian); then the code points, sorted, as UTF-32LE;
// then the text naming the subsetting choices.
std::string WebFontHash(const WebFontFamily& family, const std::vector<char32_t>& sortedCodePoints);

// The subset of `face` holding exactly `codePoints`, named `family`, as a
// WOFF2 file in `out`. kFontUnreadable for a face not loaded, kSubsetFailed
// when the subsetter gives no font, kWoff2Failed when the encoder gives
// nothing.
ImagingStatus SubsetToWoff2(const WebFontFace& face, const std::vector<char32_t>& codePoints,
                            std::string_view family, ByteBuffer& out);

// Whether `bytes` are a whole WOFF2 file: the signature, the header's
// length equal to the size, and the table directory inside the file.
bool IsWholeWoff2(const unsigned char* bytes, std::size_t size);

}  // namespace sylpic
