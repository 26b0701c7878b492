#include "imaging/web_font.h"

#include <fcntl.h>
#include <hb-subset.h>
#include <hb.h>
#include <unistd.h>
#include <woff2/encode.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "hangul/ascii_text.h"
#include "imaging/big_endian.h"
#include "imaging/sha256.h"

namespace sylpic {

namespace {

template <typename T, void (*Destroy)(T*)>
struct HbDeleter {
    void operator()(T* object) const { Destroy(object); }
};
using HbBlob = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using HbFace = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using HbFont = std::unique_ptr<hb_font_t, HbDeleter<hb_font_t, hb_font_destroy>>;
using HbSubsetInput = std::unique_ptr<hb_subset_input_t, HbDeleter<hb_subset_input_t, hb_subset_input_destroy>>;

constexpr hb_tag_t kNameTag = HB_TAG('n', 'a', 'm', 'e');
constexpr hb_tag_t kKernTag = HB_TAG('k', 'e', 'r', 'n');
constexpr std::uint16_t kPlatformMacintosh = 1;

// What the subsets are made with; part of every font's name hash, so that
// a change here makes new files instead of reusing others.
constexpr char kSubsetChoices[] =
    "harfbuzz-subset " HB_VERSION_STRING "; no hinting; kern pairs kept; Unicode and Windows names per the licence; woff2 quality 5";
// Quality 5 is some twenty times faster than 11 for about 6% more bytes.
constexpr int kBrotliQuality = 5;

// Big-endian writes within a table's bytes (reads: imaging/big_endian.h).
void AppendU16(std::string& out, unsigned value)
{
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

// A table of a face, as bytes (empty when the face has none).
struct TableBytes {
    HbBlob blob;
    const unsigned char* data = nullptr;
    unsigned size = 0;
};
TableBytes ReferenceTable(hb_face_t* face, hb_tag_t tag)
{
    TableBytes table;
    table.blob.reset(hb_face_reference_table(face, tag));
    table.data = reinterpret_cast<const unsigned char*>(hb_blob_get_data(table.blob.get(), &table.size));
    if (table.data == nullptr)
        table.size = 0;
    return table;
}

struct NameRecord {
    std::uint16_t platform, encoding, language, nameId;
    std::string bytes;
};

struct KernPair {
    std::uint16_t left, right;
    std::int16_t value;
};

}  // namespace

// The face file as read once: its bytes, the parsed face, and what every
// subset of it reads again: its names and its kerning pairs.
struct WebFontFaceData {
    HbBlob blob;
    HbFace face;
    HbFont font;
    std::vector<NameRecord> names;
    std::vector<KernPair> kernPairs;
};

namespace {

std::vector<NameRecord> ReadNames(hb_face_t* face)
{
    std::vector<NameRecord> names;
    const TableBytes table = ReferenceTable(face, kNameTag);
    if (table.size < 6)
        return names;
    const unsigned count = ReadBigEndian16(table.data + 2);
    const unsigned storage = ReadBigEndian16(table.data + 4);
    for (unsigned i = 0; i < count; ++i) {
        const unsigned at = 6 + 12 * i;
        if (at + 12 > table.size)
            break;
        const unsigned char* r = table.data + at;
        const unsigned length = ReadBigEndian16(r + 8);
        const unsigned offset = storage + ReadBigEndian16(r + 10);
        if (offset + length > table.size)
            continue;
        names.push_back({ReadBigEndian16(r), ReadBigEndian16(r + 2), ReadBigEndian16(r + 4), ReadBigEndian16(r + 6),
                         std::string(reinterpret_cast<const char*>(table.data + offset), length)});
    }
    return names;
}

// The pairs of the horizontal kerning subtables of format 0 that neither
// give minimum values nor kern across the stream.
std::vector<KernPair> ReadKernPairs(hb_face_t* face)
{
    std::vector<KernPair> pairs;
    const TableBytes table = ReferenceTable(face, kKernTag);
    if (table.size < 4 || ReadBigEndian16(table.data) != 0)
        return pairs;
    const unsigned subtables = ReadBigEndian16(table.data + 2);
    unsigned at = 4;
    for (unsigned t = 0; t < subtables && at + 6 <= table.size; ++t) {
        const unsigned length = ReadBigEndian16(table.data + at + 2);
        const unsigned coverage = ReadBigEndian16(table.data + at + 4);
        const unsigned end = std::min<unsigned>(at + std::max(length, 6u), table.size);
        if ((coverage >> 8) == 0 && (coverage & 0x7) == 0x1 && at + 14 <= end) {
            const unsigned count = ReadBigEndian16(table.data + at + 6);
            for (unsigned i = 0; i < count && at + 14 + 6 * (i + 1) <= end; ++i) {
                const unsigned char* p = table.data + at + 14 + 6 * i;
                pairs.push_back({ReadBigEndian16(p), ReadBigEndian16(p + 2), static_cast<std::int16_t>(ReadBigEndian16(p + 4))});
            }
        }
        at += std::max(length, 6u);
    }
    return pairs;
}

// The name table of a subset: the kept names as they are, the family's
// names in their place, everything else dropped.
HbBlob BuildNameTable(const std::vector<NameRecord>& faceNames, std::string_view family, int weight)
{
    const std::string weighted = std::string(family) + "-" + std::to_string(weight);
    std::vector<NameRecord> names;
    for (const NameRecord& name : faceNames) {
        // The legacy Macintosh records go, as HarfBuzz and fontTools drop
        // them: browsers read the Unicode and Windows ones.
        if (name.platform == kPlatformMacintosh)
            continue;
        switch (name.nameId) {
        case 0: case 2: case 5: case 7: case 13: case 14: case 17:
            names.push_back(name);
            break;
        case 1: case 3: case 4: case 6: case 16: {
            const std::string_view text = name.nameId == 4 || name.nameId == 6 ? std::string_view(weighted) : family;
            NameRecord renamed = name;
            renamed.bytes.clear();
            // Windows and Unicode names are UTF-16BE; others take the ASCII bytes.
            const bool wide = name.platform != kPlatformMacintosh;
            for (char c : text) {
                if (wide)
                    renamed.bytes += '\0';
                renamed.bytes += c;
            }
            names.push_back(std::move(renamed));
            break;
        }
        default:
            break;
        }
    }
    std::sort(names.begin(), names.end(), [](const NameRecord& a, const NameRecord& b) {
        return std::tie(a.platform, a.encoding, a.language, a.nameId) <
               std::tie(b.platform, b.encoding, b.language, b.nameId);
    });
    std::string table;
    AppendU16(table, 0);
    AppendU16(table, static_cast<unsigned>(names.size()));
    AppendU16(table, static_cast<unsigned>(6 + 12 * names.size()));
    std::string storage;
    for (const NameRecord& name : names) {
        AppendU16(table, name.platform);
        AppendU16(table, name.encoding);
        AppendU16(table, name.language);
        AppendU16(table, name.nameId);
        AppendU16(table, static_cast<unsigned>(name.bytes.size()));
        AppendU16(table, static_cast<unsigned>(storage.size()));
        storage += name.bytes;
    }
    table += storage;
    return HbBlob(hb_blob_create(table.data(), static_cast<unsigned>(table.size()), HB_MEMORY_MODE_DUPLICATE,
                                 nullptr, nullptr));
}

// A kern table of one format 0 subtable: the face's pairs among the glyphs
// the subset keeps, in the subset's glyph numbers. HarfBuzz drops the
// table, and a face without GPOS kerns only through it.
HbBlob BuildKernTable(const WebFontFaceData& data, hb_font_t* subsetFont, const std::vector<char32_t>& codePoints)
{
    const unsigned glyphs = hb_face_get_glyph_count(data.face.get());
    std::vector<int> newGlyph(glyphs, -1);
    for (char32_t c : codePoints) {
        hb_codepoint_t before = 0, after = 0;
        if (hb_font_get_nominal_glyph(data.font.get(), c, &before) &&
            hb_font_get_nominal_glyph(subsetFont, c, &after) && before < glyphs)
            newGlyph[before] = static_cast<int>(after);
    }
    std::vector<KernPair> pairs;
    for (const KernPair& pair : data.kernPairs) {
        if (pair.left < glyphs && pair.right < glyphs && newGlyph[pair.left] >= 0 && newGlyph[pair.right] >= 0)
            pairs.push_back({static_cast<std::uint16_t>(newGlyph[pair.left]),
                             static_cast<std::uint16_t>(newGlyph[pair.right]), pair.value});
    }
    // A subtable's length is 16 bits: past 10,920 pairs it cannot hold them.
    if (pairs.empty() || 14 + 6 * pairs.size() > 0xFFFF)
        return nullptr;
    std::sort(pairs.begin(), pairs.end(),
              [](const KernPair& a, const KernPair& b) { return std::tie(a.left, a.right) < std::tie(b.left, b.right); });
    unsigned power = 1, log2 = 0;
    while (power * 2 <= pairs.size()) {
        power *= 2;
        ++log2;
    }
    std::string table;
    AppendU16(table, 0);  // version
    AppendU16(table, 1);  // one subtable
    AppendU16(table, 0);  // its version
    AppendU16(table, static_cast<unsigned>(14 + 6 * pairs.size()));
    AppendU16(table, 0x0001);  // horizontal, format 0
    AppendU16(table, static_cast<unsigned>(pairs.size()));
    AppendU16(table, 6 * power);
    AppendU16(table, log2);
    AppendU16(table, static_cast<unsigned>(6 * (pairs.size() - power)));
    for (const KernPair& pair : pairs) {
        AppendU16(table, pair.left);
        AppendU16(table, pair.right);
        AppendU16(table, static_cast<std::uint16_t>(pair.value));
    }
    return HbBlob(hb_blob_create(table.data(), static_cast<unsigned>(table.size()), HB_MEMORY_MODE_DUPLICATE,
                                 nullptr, nullptr));
}

// The subset as a font file: HarfBuzz's subset with its name table
// replaced and the kern table added.
HbBlob SubsetFontFile(const WebFontFace& face, const std::vector<char32_t>& codePoints, std::string_view family)
{
    const WebFontFaceData& data = *face.data;
    HbSubsetInput input(hb_subset_input_create_or_fail());
    if (!input)
        return nullptr;
    hb_set_t* unicodes = hb_subset_input_unicode_set(input.get());
    for (char32_t c : codePoints)
        hb_set_add(unicodes, c);
    hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NO_HINTING);
    HbFace subset(hb_subset_or_fail(data.face.get(), input.get()));
    if (!subset)
        return nullptr;
    // The subset lists its tables only once it is read back from its bytes.
    HbBlob subsetBytes(hb_face_reference_blob(subset.get()));
    HbFace reread(hb_face_create(subsetBytes.get(), 0));
    HbFont subsetFont(hb_font_create(reread.get()));

    HbFace builder(hb_face_builder_create());
    hb_tag_t tags[64];
    unsigned count = 64;
    hb_face_get_table_tags(reread.get(), 0, &count, tags);
    for (unsigned i = 0; i < count; ++i) {
        if (tags[i] == kNameTag || tags[i] == kKernTag)
            continue;
        HbBlob table(hb_face_reference_table(reread.get(), tags[i]));
        hb_face_builder_add_table(builder.get(), tags[i], table.get());
    }
    HbBlob names = BuildNameTable(data.names, family, face.weight);
    hb_face_builder_add_table(builder.get(), kNameTag, names.get());
    if (HbBlob kern = BuildKernTable(data, subsetFont.get(), codePoints))
        hb_face_builder_add_table(builder.get(), kKernTag, kern.get());
    return HbBlob(hb_face_reference_blob(builder.get()));
}

// The encoder reports its sizes on standard error, which carries only the
// program's own lines: it writes to /dev/null meanwhile.
class QuietStandardError {
public:
    QuietStandardError() : saved_(dup(STDERR_FILENO))
    {
        std::fflush(stderr);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStandardError()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

// A WOFF2 variable-length number; false past the end or when ill-formed.
bool ReadBase128(const unsigned char* bytes, std::size_t size, std::size_t& at, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 5; ++i) {
        if (at >= size)
            return false;
        const unsigned char b = bytes[at++];
        if (i == 0 && b == 0x80)
            return false;  // no leading zeros
        if (value & 0xFE000000u)
            return false;  // would overflow
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0)
            return true;
    }
    return false;
}

}  // namespace

EmbeddingPermission ReadEmbeddingPermission(std::uint16_t fsType)
{
    if ((fsType & 0x0002) != 0 && (fsType & 0x000C) == 0)
        return EmbeddingPermission::kRestricted;
    if ((fsType & 0x0100) != 0)
        return EmbeddingPermission::kNoSubsetting;
    if ((fsType & 0x0200) != 0)
        return EmbeddingPermission::kBitmapOnly;
    return EmbeddingPermission::kAllowed;
}

std::string EmbeddingPermissionText(EmbeddingPermission permission)
{
    switch (permission) {
    case EmbeddingPermission::kRestricted: return "OS/2 fsType 0x0002 (Restricted License embedding): 埋め込みが禁止されています";
    case EmbeddingPermission::kNoSubsetting: return "OS/2 fsType 0x0100 (No subsetting): サブセット化が禁止されています";
    case EmbeddingPermission::kBitmapOnly: return "OS/2 fsType 0x0200 (Bitmap embedding only): アウトラインの埋め込みが禁止されています";
    case EmbeddingPermission::kAllowed: break;
    }
    return "";
}

ImagingStatus LoadWebFontFace(const std::string& path, int index, WebFontFace& face)
{
    auto data = std::make_shared<WebFontFaceData>();
    data->blob.reset(hb_blob_create_from_file_or_fail(path.c_str()));
    if (!data->blob || index < 0)
        return ImagingStatus::kFontUnreadable;
    data->face.reset(hb_face_create(data->blob.get(), static_cast<unsigned>(index)));
    if (hb_face_get_glyph_count(data->face.get()) == 0)
        return ImagingStatus::kFontUnreadable;
    data->font.reset(hb_font_create(data->face.get()));
    const TableBytes os2 = ReferenceTable(data->face.get(), HB_TAG('O', 'S', '/', '2'));
    const TableBytes head = ReferenceTable(data->face.get(), HB_TAG('h', 'e', 'a', 'd'));
    if (os2.size < 10 || head.size < 12)
        return ImagingStatus::kFontUnreadable;
    data->names = ReadNames(data->face.get());
    data->kernPairs = ReadKernPairs(data->face.get());

    face.path = path;
    face.index = index;
    face.weight = ReadBigEndian16(os2.data + 4);
    face.fsType = ReadBigEndian16(os2.data + 8);
    face.fontRevision = ReadBigEndian32(head.data + 4);
    face.checkSumAdjustment = ReadBigEndian32(head.data + 8);
    face.fileSize = hb_blob_get_length(data->blob.get());
    face.data = std::move(data);
    return ImagingStatus::kOk;
}

std::string WebFontHash(const WebFontFamily& family, const std::vector<char32_t>& sortedCodePoints)
{
    Sha256 hash;
    for (const WebFontFace& face : family.faces) {
        unsigned char facts[16];
        for (int i = 0; i < 4; ++i) {
            facts[i] = static_cast<unsigned char>(face.checkSumAdjustment >> (24 - 8 * i));
            facts[4 + i] = static_cast<unsigned char>(face.fontRevision >> (24 - 8 * i));
        }
        for (int i = 0; i < 8; ++i)
            facts[8 + i] = static_cast<unsigned char>(face.fileSize >> (8 * i));
        hash.Update(facts, sizeof facts);
    }
    for (char32_t c : sortedCodePoints) {
        const unsigned char utf32le[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                          static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 24)};
        hash.Update(utf32le, 4);
    }
    hash.Update(kSubsetChoices, sizeof kSubsetChoices - 1);
    const std::array<unsigned char, 32> digest = hash.Finish();
    std::string text;
    for (int i = 0; i < 8; ++i) {
        text += kLowerHexDigits[digest[static_cast<std::size_t>(i)] >> 4];
        text += kLowerHexDigits[digest[static_cast<std::size_t>(i)] & 0xF];
    }
    return text;
}

ImagingStatus SubsetToWoff2(const WebFontFace& face, const std::vector<char32_t>& codePoints,
                            std::string_view family, ByteBuffer& out)
{
    out.clear();
    if (!face.data)
        return ImagingStatus::kFontUnreadable;
    const HbBlob font = SubsetFontFile(face, codePoints, family);
    unsigned length = 0;
    const char* bytes = font ? hb_blob_get_data(font.get(), &length) : nullptr;
    if (bytes == nullptr || length == 0)
        return ImagingStatus::kSubsetFailed;
    const auto* ttf = reinterpret_cast<const std::uint8_t*>(bytes);
    std::size_t woff2Length = woff2::MaxWOFF2CompressedSize(ttf, length);
    out.resize(woff2Length);
    woff2::WOFF2Params params;
    params.brotli_quality = kBrotliQuality;
    bool encoded;
    {
        const QuietStandardError quiet;
        encoded = woff2::ConvertTTFToWOFF2(ttf, length, out.data(), &woff2Length, params);
    }
    if (!encoded) {
        out.clear();
        return ImagingStatus::kWoff2Failed;
    }
    out.resize(woff2Length);
    return ImagingStatus::kOk;
}

bool IsWholeWoff2(const unsigned char* bytes, std::size_t size)
{
    constexpr std::size_t kHeaderSize = 48;
    if (bytes == nullptr || size < kHeaderSize || ReadBigEndian32(bytes) != 0x774F4632)  // "wOF2"
        return false;
    if (ReadBigEndian32(bytes + 8) != size)
        return false;
    const unsigned tables = ReadBigEndian16(bytes + 12);
    const std::uint32_t compressedSize = ReadBigEndian32(bytes + 20);
    if (tables == 0)
        return false;
    std::size_t at = kHeaderSize;
    for (unsigned i = 0; i < tables; ++i) {
        if (at >= size)
            return false;
        const unsigned char flags = bytes[at++];
        const unsigned knownTag = flags & 0x3F;
        std::uint32_t tag = 0;
        if (knownTag == 0x3F) {
            if (at + 4 > size)
                return false;
            tag = ReadBigEndian32(bytes + at);
            at += 4;
        }
        std::uint32_t length = 0;
        if (!ReadBase128(bytes, size, at, length))
            return false;
        // glyf (10) and loca (11) are transformed at version 0, every
        // other table at any other version; a transformed table gives its
        // transformed length too.
        const unsigned version = flags >> 6;
        const bool glyfOrLoca = knownTag == 10 || knownTag == 11 || tag == HB_TAG('g', 'l', 'y', 'f') ||
                                tag == HB_TAG('l', 'o', 'c', 'a');
        if (glyfOrLoca ? version == 0 : version != 0) {
            if (!ReadBase128(bytes, size, at, length))
                return false;
        }
    }
    return at <= size && compressedSize <= size - at;
}

}  // namespace sylpic
