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
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/image_reuse.h"
#include "hangul/ascii_text.h"

namespace {

struct StoredKey {
    int length;
    std::string text;
    unsigned char colours[6];
};

// The folder's names in order. Each name is kept once, lower-cased then as
// it is, in one block of text; the order is kept in two flat sorted arrays
// of small entries: the names present when the folder was read, sorted
// once, and the names written since, which are few. The written ones are
// merged into the first array when they grow many, so that an insertion
// moves few entries however full the folder is.
class SortedNames {
public:
    void Clear()
    {
        text_.clear();
        read_.clear();
        written_.clear();
    }

    // Adds a name of the folder as read; Sort() must follow the last one.
    void AddUnsorted(std::string_view name) { read_.push_back(Store(name)); }
    void Sort() { std::sort(read_.begin(), read_.end(), Less{text_}); }

    // Adds a name unless it is there already.
    void Insert(std::string_view name)
    {
        const Entry entry = Store(name);
        const Less less{text_};
        if (Contains(read_, entry) || Contains(written_, entry)) {
            text_.resize(entry.offset);  // keep no unused text
            return;
        }
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
        const bool found = Contains(read_, entry) || Contains(written_, entry);
        text_.resize(entry.offset);
        return found;
    }

    // Calls visit(name) in order for every name whose lower-case form begins
    // with `lowerBase` and goes on with a character from `first` to `last`,
    // while visit returns true. Returns false when visit stopped it. visit
    // must not add names.
    template <typename Visit>
    bool ForEachInRange(std::string_view lowerBase, char first, char last, Visit visit)
    {
        // Probes have an empty exact name, so they sort before every entry
        // of the same lower-case name.
        const std::size_t mark = text_.size();
        const Entry from = StoreProbe(lowerBase, first);
        const Entry to = StoreProbe(lowerBase, static_cast<char>(last + 1));
        const Less less{text_};
        auto read = std::lower_bound(read_.begin(), read_.end(), from, less);
        const auto readEnd = std::lower_bound(read, read_.end(), to, less);
        auto written = std::lower_bound(written_.begin(), written_.end(), from, less);
        const auto writtenEnd = std::lower_bound(written, written_.end(), to, less);
        text_.resize(mark);
        while (read != readEnd || written != writtenEnd) {
            const bool fromRead = written == writtenEnd || (read != readEnd && less(*read, *written));
            const Entry& entry = fromRead ? *read++ : *written++;
            visited_.assign(Exact(text_, entry));
            if (!visit(visited_))
                return false;
        }
        return true;
    }

private:
    // A name at `offset` in text_: lower-cased, then as it is. A probe,
    // which looks for a place in the order, has an empty exact name.
    struct Entry {
        std::size_t offset;
        std::uint32_t lowerLength;
        std::uint32_t exactLength;
    };
    static std::string_view Lower(const std::string& text, const Entry& e) { return {text.data() + e.offset, e.lowerLength}; }
    static std::string_view Exact(const std::string& text, const Entry& e)
    {
        return {text.data() + e.offset + e.lowerLength, e.exactLength};
    }

    struct Less {
        const std::string& text;
        bool operator()(const Entry& a, const Entry& b) const
        {
            const int byLower = Lower(text, a).compare(Lower(text, b));
            return byLower != 0 ? byLower < 0 : Exact(text, a) < Exact(text, b);
        }
    };

    // Below this many written names, they are never merged.
    static constexpr std::size_t kFewWritten = 64;

    Entry Store(std::string_view name)
    {
        const Entry entry{text_.size(), static_cast<std::uint32_t>(name.size()), static_cast<std::uint32_t>(name.size())};
        for (char c : name)
            text_ += AsciiLower(c);
        text_ += name;
        return entry;
    }

    Entry StoreProbe(std::string_view lowerBase, char next)
    {
        const Entry entry{text_.size(), static_cast<std::uint32_t>(lowerBase.size() + 1), 0};
        text_ += lowerBase;
        text_ += next;
        return entry;
    }

    bool Contains(const std::vector<Entry>& entries, const Entry& entry) const
    {
        return std::binary_search(entries.begin(), entries.end(), entry, Less{text_});
    }

    std::string text_;
    std::vector<Entry> read_;
    std::vector<Entry> written_;
    std::string visited_;  // the name handed to a visitor
};

class FolderView {
public:
    void Begin(const char* folder)
    {
        folder_ = folder;
        loaded_ = false;
        names_.Clear();
        keys_.clear();
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

    void Written(const char* fileName)
    {
        keys_.erase(fileName);
        names_.Insert(fileName);
    }

    // The key of an image, read once per page.
    const StoredKey& KeyOf(const std::string& name, const char* path, int format)
    {
        auto found = keys_.find(name);
        if (found != keys_.end())
            return found->second;
        char text[260];
        StoredKey stored{};
        stored.length = format == 0 ? ReadGifKey(path, text, stored.colours) : ReadPngKey(path, text, stored.colours);
        stored.text.assign(text, std::strlen(text));
        return keys_.emplace(name, std::move(stored)).first->second;
    }

    template <typename Visit>
    void ForEachCandidate(const char* baseName, Visit visit)
    {
        lowerBase_.clear();
        for (const char* c = baseName; *c != '\0'; ++c)
            lowerBase_ += AsciiLower(*c);
        // base + "." sorts before base + "1" to "9", as in the full order.
        if (names_.ForEachInRange(lowerBase_, '.', '.', visit))
            names_.ForEachInRange(lowerBase_, '1', '9', visit);
    }

private:
    std::string folder_;
    bool loaded_ = false;
    SortedNames names_;
    std::unordered_map<std::string, StoredKey> keys_;
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

void FindReusableImage(const char* folder, const char* baseName, const char* key, int keyLength,
                       const unsigned char* colours, char* foundPath, int format)
{
    foundPath[0] = '\0';
    if (format != 0 && format != 1)
        return;
    s_view.Use(folder);
    const char* extension = format == 0 ? ".gif" : ".png";
    const std::size_t folderLength = std::strlen(folder);

    s_view.ForEachCandidate(baseName, [&](const std::string& name) {
        // The candidate must end in the format's extension, ignoring case.
        if (name.size() < 4 || !EqualsIgnoringCase(name.c_str() + name.size() - 4, extension))
            return true;
        char path[260];
        const std::size_t length = folderLength + name.size();
        if (length >= sizeof path)
            return true;
        std::memcpy(path, folder, folderLength);
        std::memcpy(path + folderLength, name.c_str(), name.size() + 1);
        const StoredKey& stored = s_view.KeyOf(name, path, format);
        if (stored.length == keyLength && std::memcmp(stored.colours, colours, 6) == 0 &&
            stored.text.size() == static_cast<std::size_t>(keyLength) &&
            std::memcmp(stored.text.data(), key, static_cast<std::size_t>(keyLength)) == 0) {
            std::memcpy(foundPath, path, length + 1);
            return false;
        }
        return true;
    });
}
