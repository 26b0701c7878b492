// The image folder view and the reuse search over it.
//
// The folder is read once per page, on first need, and kept current as the
// page writes images. Entries are kept in name order ignoring case (the
// order of the directory search), so the candidates of a base name are two
// runs of that order: base + "." ... and base + "1" ... base + "9" ....
#include <dirent.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

#include "convert/image_reuse.h"
#include "hangul/ascii_text.h"

namespace {

// Lower-cases ASCII letters into `to`, reusing its storage.
void LowerInto(std::string& to, const char* text)
{
    to.assign(text);
    for (char& c : to)
        c = AsciiLower(c);
}

std::string Lowered(const char* text)
{
    std::string s;
    LowerInto(s, text);
    return s;
}

struct Entry {
    std::string lower;  // the name in lower case, the sort key
    std::string name;
    bool operator<(const Entry& other) const
    {
        return lower != other.lower ? lower < other.lower : name < other.name;
    }
};

struct StoredKey {
    int length;
    std::string text;
    unsigned char colours[6];
};

class FolderView {
public:
    void Begin(const char* folder)
    {
        folder_ = folder;
        loaded_ = false;
        entries_.clear();
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
        // Read the folder once into the ordered set.
        if (DIR* dir = opendir(folder_.c_str())) {
            while (const dirent* e = readdir(dir)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    Add(e->d_name);
            }
            closedir(dir);
        }
        loaded_ = true;
    }

    bool Has(const char* fileName)
    {
        LowerInto(probe_.lower, fileName);
        probe_.name.assign(fileName);
        const bool found = entries_.count(probe_) != 0;
        probe_.name.clear();
        return found;
    }

    void Written(const char* fileName)
    {
        keys_.erase(fileName);
        sizes_.erase(fileName);
        Add(fileName);
    }

    // The key of an image, read once per page.
    const StoredKey& KeyOf(const std::string& name, const char* path, ImageFormat format)
    {
        auto found = keys_.find(name);
        if (found != keys_.end())
            return found->second;
        char text[260];
        StoredKey stored{};
        stored.length = format == kFormatGif ? ReadGifKey(path, text, stored.colours) : ReadPngKey(path, text, stored.colours);
        stored.text.assign(text, std::strlen(text));
        return keys_.emplace(name, std::move(stored)).first->second;
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

    template <typename Visit>
    void ForEachCandidate(const char* baseName, Visit visit)
    {
        LowerInto(lowerBase_, baseName);
        // base + "." sorts before base + "1" to "9", as in the full order.
        for (const char next : {'.', '1'}) {
            probe_.lower.assign(lowerBase_);
            probe_.lower += next;
            for (auto it = entries_.lower_bound(probe_); it != entries_.end(); ++it) {
                const std::string& lower = it->lower;
                const std::string& lowerBase = lowerBase_;
                if (lower.compare(0, lowerBase.size(), lowerBase) != 0 || lower.size() <= lowerBase.size())
                    break;
                const char c = lower[lowerBase.size()];
                const bool inRun = next == '.' ? c == '.' : (c >= '1' && c <= '9');
                if (!inRun)
                    break;
                if (!visit(it->name))
                    return;
            }
        }
    }

private:
    void Add(const std::string& name) { entries_.insert(Entry{Lowered(name.c_str()), name}); }

    std::string folder_;
    bool loaded_ = false;
    std::set<Entry> entries_;
    std::unordered_map<std::string, StoredKey> keys_;
    std::unordered_map<std::string, std::optional<ImageSize>> sizes_;
    std::string lowerBase_;  // scratch of the candidate search
    Entry probe_;
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

    s_view.ForEachCandidate(baseName, [&](const std::string& name) {
        // The candidate must end in the format's extension, ignoring case.
        if (name.size() < 4 || !SameIgnoringCase(std::string_view(name).substr(name.size() - 4), extension))
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
