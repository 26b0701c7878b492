// The image folder view and the reuse search over it.
//
// The folder is read once per page, on first need, and kept current as the
// page writes images. Entries are kept in name order ignoring case (the
// order of the directory search; equal lower-case names in exact-name
// order), so the candidates of a base name are two runs of that order:
// base + "." ... and base + "1" ... base + "9" ....
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "hangul/ascii_text.h"

namespace {

struct StoredKey {
    int length;
    std::string text;
    unsigned char colours[6];
};

// The folder's names in order, each with the slot of its key once read.
//
// Each name is kept once, lower-cased then as it is, in one block of text.
// The order is kept in two flat sorted arrays of small entries: the names
// present when the folder was read, sorted once, and the names written
// since, which are few. The written ones are merged into the first array
// when they grow many, so that an insertion moves few entries however full
// the folder is.
class SortedNames {
public:
    static constexpr int kNoKey = -1;

    void Clear()
    {
        text_.clear();
        read_.clear();
        written_.clear();
    }

    // Adds a name of the folder as read; Sort() must follow the last one.
    void AddUnsorted(std::string_view name) { read_.push_back(Store(name)); }
    void Sort() { std::sort(read_.begin(), read_.end(), Less{text_}); }

    // Adds a name, or forgets the key of a name that is there already.
    void Insert(std::string_view name)
    {
        const Entry entry = Store(name);
        if (Entry* found = Find(entry)) {
            found->key = kNoKey;
            text_.resize(entry.offset);  // keep no unused text
            return;
        }
        const Less less{text_};
        written_.insert(std::lower_bound(written_.begin(), written_.end(), entry, less), entry);
        if (written_.size() * written_.size() > read_.size() + kFewWritten * kFewWritten) {
            const std::size_t middle = read_.size();
            read_.insert(read_.end(), written_.begin(), written_.end());
            std::inplace_merge(read_.begin(), read_.begin() + static_cast<std::ptrdiff_t>(middle), read_.end(), less);
            written_.clear();
        }
    }

    bool Has(std::string_view name)
    {
        const Entry entry = Store(name);
        const bool found = Find(entry) != nullptr;
        text_.resize(entry.offset);
        return found;
    }

    // Calls visit(name, keySlot) in order for every name whose lower-case
    // form is `lowerBase` followed by '.' or a digit 1 to 9 and more, while
    // visit returns true. visit may set the key slot, not add names.
    template <typename Visit>
    void ForEachCandidate(std::string_view lowerBase, Visit visit)
    {
        // The names from lowerBase + "." up to lowerBase + ":" are one stretch
        // of the order: the point run, names going on with '/' or '0', then
        // the digit run. A probe has an empty exact name, so it sorts before
        // every entry of its lower-case name.
        const std::size_t mark = text_.size();
        const Entry probe = StoreProbe(lowerBase, '.');
        const Less less{text_};
        auto read = std::lower_bound(read_.begin(), read_.end(), probe, less);
        auto written = std::lower_bound(written_.begin(), written_.end(), probe, less);
        text_.resize(mark);
        auto nextCharacter = [&](const Entry& entry) {
            const std::string_view lower = Lower(entry);
            if (lower.size() <= lowerBase.size() || lower.compare(0, lowerBase.size(), lowerBase) != 0)
                return '\0';
            return lower[lowerBase.size()] <= '9' ? lower[lowerBase.size()] : '\0';
        };
        auto inStretch = [&](auto it, auto end) { return it != end && nextCharacter(*it) != '\0'; };
        for (;;) {
            const bool fromRead = inStretch(read, read_.end());
            const bool fromWritten = inStretch(written, written_.end());
            if (!fromRead && !fromWritten)
                return;
            Entry& entry = fromRead && (!fromWritten || less(*read, *written)) ? *read++ : *written++;
            const char next = nextCharacter(entry);
            if ((next == '.' || (next >= '1' && next <= '9')) && !visit(Exact(entry), entry.key))
                return;
        }
    }

private:
    // A name at `offset` in text_: lower-cased, then as it is. A probe, which
    // looks for a place in the order, has an empty exact name. `head` holds
    // the first eight bytes of the lower-case name, first byte highest and
    // zeros past its end, so that most comparisons need no more.
    struct Entry {
        std::size_t offset;
        std::uint64_t head;
        std::uint32_t lowerLength;
        std::uint32_t exactLength;
        int key;  // the key's slot, or kNoKey
    };

    std::string_view Lower(const Entry& e) const { return {text_.data() + e.offset, e.lowerLength}; }
    std::string_view Exact(const Entry& e) const { return {text_.data() + e.offset + e.lowerLength, e.exactLength}; }

    struct Less {
        const std::string& text;
        // The lower-case name past its head.
        std::string_view Rest(const Entry& e) const
        {
            return e.lowerLength > 8 ? std::string_view(text.data() + e.offset + 8, e.lowerLength - 8) : std::string_view();
        }
        bool operator()(const Entry& a, const Entry& b) const
        {
            if (a.head != b.head)
                return a.head < b.head;
            // A name holds no zero bytes, so equal heads of names no longer
            // than eight bytes mean equal names.
            if (a.lowerLength > 8 || b.lowerLength > 8) {
                const int byLower = Rest(a).compare(Rest(b));
                if (byLower != 0)
                    return byLower < 0;
            }
            return std::string_view(text.data() + a.offset + a.lowerLength, a.exactLength) <
                   std::string_view(text.data() + b.offset + b.lowerLength, b.exactLength);
        }
    };

    // Below this many written names, they are never merged.
    static constexpr std::size_t kFewWritten = 64;

    Entry Store(std::string_view name)
    {
        const std::size_t offset = text_.size();
        for (char c : name)
            text_ += AsciiLower(c);
        text_ += name;
        return MakeEntry(offset, name.size(), name.size());
    }

    Entry StoreProbe(std::string_view lowerBase, char next)
    {
        const std::size_t offset = text_.size();
        text_ += lowerBase;
        text_ += next;
        return MakeEntry(offset, lowerBase.size() + 1, 0);
    }

    Entry MakeEntry(std::size_t offset, std::size_t lowerLength, std::size_t exactLength) const
    {
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 8; ++i)
            head = head << 8 | (i < lowerLength ? static_cast<unsigned char>(text_[offset + i]) : 0u);
        return Entry{offset, head, static_cast<std::uint32_t>(lowerLength), static_cast<std::uint32_t>(exactLength),
                     kNoKey};
    }

    // The entry of the same name in either array, or null.
    Entry* Find(const Entry& entry)
    {
        const Less less{text_};
        for (std::vector<Entry>* entries : {&read_, &written_}) {
            auto found = std::lower_bound(entries->begin(), entries->end(), entry, less);
            if (found != entries->end() && !less(entry, *found))
                return &*found;
        }
        return nullptr;
    }

    std::string text_;
    std::vector<Entry> read_;
    std::vector<Entry> written_;
};

class FolderView {
public:
    void Begin(const char* folder)
    {
        folder_ = folder;
        loaded_ = false;
        names_.Clear();
        keys_.clear();
        sizes_.clear();
    }
    void End() { Begin(""); }

    // Makes sure the view holds `folder`, reading it when need be.
    void Use(const char* folder)
    {
        if (loaded_ && folder_ == folder)
            return;
        Begin(folder);
        // Read the folder once, then sort once: a directory lists each name
        // once, so nothing needs to be weeded out.
        if (DIR* dir = opendir(folder_.c_str())) {
            while (const dirent* e = readdir(dir)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    names_.AddUnsorted(e->d_name);
            }
            closedir(dir);
        }
        names_.Sort();
        loaded_ = true;
    }

    bool Has(const char* fileName) { return names_.Has(fileName); }

    // The image is new or changed: its key and size are read again when next
    // asked for.
    void Written(const char* fileName)
    {
        names_.Insert(fileName);
        sizes_.erase(fileName);
    }

    // The size recorded in an image, read once per page; nullopt when the
    // file records none.
    const std::optional<ImageSize>& SizeOf(const char* fileName, ImageFormat format)
    {
        auto found = sizes_.find(fileName);
        if (found != sizes_.end())
            return found->second;
        std::optional<ImageSize> size;
        ImageSize read;
        if (ReadImageFileSize((folder_ + fileName).c_str(), format, read))
            size = read;
        return sizes_.emplace(fileName, size).first->second;
    }

    // The key of the image at `path`, read once per page into `slot`.
    const StoredKey& KeyOf(int& slot, const char* path, ImageFormat format)
    {
        if (slot == SortedNames::kNoKey) {
            char text[kReadKeyBytes];
            StoredKey stored{};
            stored.length = format == kFormatGif ? ReadGifKey(path, text, stored.colours) : ReadPngKey(path, text, stored.colours);
            stored.text.assign(text, std::strlen(text));
            slot = static_cast<int>(keys_.size());
            keys_.push_back(std::move(stored));
        }
        return keys_[static_cast<std::size_t>(slot)];
    }

    template <typename Visit>
    void ForEachCandidate(const char* baseName, Visit visit)
    {
        lowerBase_.clear();
        for (const char* c = baseName; *c != '\0'; ++c)
            lowerBase_ += AsciiLower(*c);
        names_.ForEachCandidate(lowerBase_, visit);
    }

private:
    std::string folder_;
    bool loaded_ = false;
    SortedNames names_;
    std::vector<StoredKey> keys_;
    std::unordered_map<std::string, std::optional<ImageSize>> sizes_;
    std::string lowerBase_;  // scratch of the candidate search
};

FolderView s_view;

}  // namespace

void BeginImageFolder(const char* folder)
{
    s_view.Begin(folder);
}

void EndImageFolder()
{
    s_view.End();
}

bool ImageFolderHas(const char* folder, const char* fileName)
{
    s_view.Use(folder);
    return s_view.Has(fileName);
}

void NoteImageWritten(const char* folder, const char* fileName)
{
    s_view.Use(folder);
    s_view.Written(fileName);
}

bool ImageFolderImageSize(const char* folder, const char* fileName, ImageFormat format, ImageSize& size)
{
    s_view.Use(folder);
    const std::optional<ImageSize>& recorded = s_view.SizeOf(fileName, format);
    if (recorded)
        size = *recorded;
    return recorded.has_value();
}

void FindReusableImage(const char* folder, const char* baseName, const char* key, int keyLength,
                       const unsigned char* colours, char* foundPath, ImageFormat format)
{
    foundPath[0] = '\0';
    if (format != kFormatGif && format != kFormatPng)
        return;
    s_view.Use(folder);
    const char* extension = format == kFormatGif ? ".gif" : ".png";
    const std::size_t folderLength = std::strlen(folder);
    char path[kMaxPath];

    s_view.ForEachCandidate(baseName, [&](std::string_view name, int& keySlot) {
        // The candidate must end in the format's extension, ignoring case.
        if (name.size() < 4 || !PrefixEqualsIgnoringCase(name.data() + name.size() - 4, extension, 4))
            return true;
        const std::size_t length = folderLength + name.size();
        if (length >= sizeof path)
            return true;
        std::memcpy(path, folder, folderLength);
        std::memcpy(path + folderLength, name.data(), name.size());
        path[length] = '\0';
        const StoredKey& stored = s_view.KeyOf(keySlot, path, format);
        if (stored.length == keyLength && std::memcmp(stored.colours, colours, 6) == 0 &&
            stored.text.size() == static_cast<std::size_t>(keyLength) &&
            std::memcmp(stored.text.data(), key, static_cast<std::size_t>(keyLength)) == 0) {
            std::memcpy(foundPath, path, length + 1);
            return false;
        }
        return true;
    });
}

int FirstFreeImageNumber(const char* folder, const char* baseName, const char* extension)
{
    s_view.Use(folder);
    const std::string_view base(baseName);
    const std::string dotExtension = std::string(".") + extension;
    const std::string plainName = std::string(baseName) + dotExtension;
    bool plainTaken = false;
    std::vector<int> taken;
    // Only names of exactly the form that numbering makes count, as only an
    // entry of exactly that name stops it: base.ext and baseN.ext, N without
    // leading zeros.
    s_view.ForEachCandidate(baseName, [&](std::string_view name, int&) {
        if (name.size() <= base.size() + dotExtension.size() || name.compare(0, base.size(), base) != 0 ||
            name.compare(name.size() - dotExtension.size(), dotExtension.size(), dotExtension) != 0) {
            plainTaken = plainTaken || name == plainName;
            return true;
        }
        const std::string_view digits = name.substr(base.size(), name.size() - base.size() - dotExtension.size());
        if (digits.size() > 9 || digits[0] == '0')
            return true;
        int number = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return true;
            number = number * 10 + (c - '0');
        }
        taken.push_back(number);
        return true;
    });
    if (!plainTaken)
        return 0;
    std::sort(taken.begin(), taken.end());
    int free = 1;
    for (int number : taken) {
        if (number == free)
            ++free;
        else if (number > free)
            break;
    }
    return free;
}
