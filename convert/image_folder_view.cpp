// The image folder view and the reuse search over it.
//
// The folder is read once per page, on first need, and kept current as the
// page writes images. Entries are kept in name order ignoring case (the
// order of the directory search; equal lower-case names in exact-name
// order), so the candidates of a base name are two runs of that order:
// base + "." ... and base + "1" ... base + "9" ....
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "convert/deferred_closes.h"
#include "convert/dir_handle.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/leftover_files.h"
#include "convert/whole_image_file.h"
#include "hangul/ascii_text.h"
#include "imaging/byte_source.h"
#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"

namespace sylpic {

namespace {

// The key and colours of one image file, and whether it is whole. A key is
// kept only for a whole image: no other is ever reused. Its text lies in
// the cache's one block of key text. The entry also keeps the place of the
// first tag of the run that shows the image.
struct StoredKey {
    std::uint32_t textAt = 0;
    std::int16_t length = 0;  // of the text, as its reader gave it
    std::uint16_t textLength = 0;
    unsigned char colours[6] = {};
    bool whole = false;
    // Whether the cache holds the identity of the file the key was read
    // from, so that a key read on an earlier page of the run is used only
    // while the file is the same one.
    bool identified = false;
    // The page that wrote the image, whose bytes it had in hand; 0 when the
    // key was read from the file.
    std::uint32_t writtenOnPage = 0;
    std::uint32_t runTag = 0;  // see ImageRunTag; outlives the key

    // Forgets the key, and keeps the run's tag.
    void Reset()
    {
        const std::uint32_t tag = runTag;
        *this = StoredKey();
        runTag = tag;
    }
};
static_assert(sizeof(StoredKey) == 24, "a key entry per image of the run stays small");

// Which file a key was read from: device, inode, size and modification.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified = {};

    explicit FileIdentity(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim)
    {
    }
    bool Is(const struct stat& st) const
    {
        return device == st.st_dev && inode == st.st_ino && size == st.st_size &&
               modified.tv_sec == st.st_mtim.tv_sec && modified.tv_nsec == st.st_mtim.tv_nsec;
    }
};

// The keys of the run, for each folder by file name: each image file is
// read once per run, on first need (one open and one read give both its key
// and whether it is whole), and again only when the file changed. An image
// the page wrote is known from the bytes it wrote, without reading it.
class KeyCache {
public:
    // A folder's keys by file name. Its entries stay where they are until
    // the run's next Clear: a key to be read again is emptied, not erased,
    // so that the candidate index can point at the entries.
    using Folder = std::unordered_map<std::string, StoredKey>;
    using Entry = Folder::value_type;

    // Forgets every key; the folders stay, so that a view keeps its own.
    // `severalPages` when more than one page may ask for them.
    void Clear(bool severalPages)
    {
        severalPages_ = severalPages;
        for (auto& folder : folders_)
            folder.second.clear();
        identities_.clear();
        text_.clear();
    }
    Folder& FolderOf(const std::string& folder) { return folders_[folder]; }
    Folder& FolderOf(const char* folder) { return folders_[folder]; }
    // A page begins: the images earlier pages wrote are read again once
    // their files may have changed.
    void BeginPage() { ++page_; }

    // The key of `name` in `folder`, whose file is at `path` (relative to
    // the folder open at `atFd`, or AT_FDCWD). `knownRegular` when the
    // folder's listing said it is a regular file.
    const Entry& Get(Folder& folder, const std::string& name, int atFd, const char* path, ImageFormat format,
                     bool knownRegular, DeferredCloses* closes = nullptr)
    {
        const auto [found, isNew] = folder.try_emplace(name);
        if (!isNew) {
            if (found->second.writtenOnPage == page_)
                return *found;
            struct stat st;
            if (found->second.identified && fstatat(atFd, path, &st, 0) == 0) {
                const auto identity = identities_.find(&*found);
                if (identity != identities_.end() && identity->second.Is(st))
                    return *found;
            }
        }
        StoredKey& key = found->second;
        key.Reset();
        // Which file the key came from matters only to a later page; a run
        // of one page has none, and its files need no fstat.
        const FileCheck check = knownRegular && !severalPages_ ? FileCheck::kKnownRegular : FileCheck::kStat;
        struct stat st;
        std::size_t size = 0;
        if (ReadImageFileBytes(atFd, path, bytes_, size, st, check, closes))
            TakeKey(key, bytes_.data(), size, format);
        // Kept apart, and only when known: a run of one page mostly has none.
        if (st.st_mode != 0) {
            key.identified = true;
            identities_.insert_or_assign(&*found, FileIdentity(st));
        }
        if (bytes_.size() > kKeptBuffer)
            std::vector<unsigned char>().swap(bytes_);
        return *found;
    }

    // The page wrote these bytes to the image whose entry is `key`: an
    // encoder's, whole as the encoders make every image (their fuzz target
    // checks it), so they need no check.
    void Remember(StoredKey& key, const unsigned char* bytes, std::size_t size, ImageFormat format)
    {
        key.Reset();
        TakeKeyOfWhole(key, bytes, size, format);
        key.writtenOnPage = page_;
    }

    std::string_view Text(const StoredKey& key) const { return {text_.data() + key.textAt, key.textLength}; }

private:
    // The key and colours in the bytes of a whole image; none for any other.
    void TakeKey(StoredKey& key, const unsigned char* bytes, std::size_t size, ImageFormat format)
    {
        if (IsWholeImage(bytes, size, format))
            TakeKeyOfWhole(key, bytes, size, format);
    }
    void TakeKeyOfWhole(StoredKey& key, const unsigned char* bytes, std::size_t size, ImageFormat format)
    {
        key.whole = true;
        char text[kReadKeyBytes];
        const MemoryBytes image(bytes, size);
        // A reader gives at most kReadKeyBytes.
        key.length = static_cast<std::int16_t>(format == kFormatGif ? ReadGifKeyFrom(image, text, key.colours)
                                                                     : ReadPngKeyFrom(image, text, key.colours));
        key.textAt = static_cast<std::uint32_t>(text_.size());
        key.textLength = static_cast<std::uint16_t>(std::strlen(text));
        text_.append(text, key.textLength);
    }

    // The read buffer is kept for the next file unless a large one grew it.
    static constexpr std::size_t kKeptBuffer = std::size_t{1} << 16;

    std::unordered_map<std::string, Folder> folders_;
    std::unordered_map<const Entry*, FileIdentity> identities_;  // of the entries identified
    std::string text_;  // the text of every key, one after another
    unsigned page_ = 1;
    bool severalPages_ = true;
    std::vector<unsigned char> bytes_;
};

KeyCache s_keys;

// What a key must equal to match, the colours and the key text, hashed:
// an index keeps the hash, and a hit is compared in full.
std::size_t MatchHash(const unsigned char* colours, const char* key, std::size_t keyLength)
{
    const std::hash<std::string_view> hash;
    const std::size_t ofColours = hash(std::string_view(reinterpret_cast<const char*>(colours), 6));
    return hash(std::string_view(key, keyLength)) ^ (ofColours + 0x9e3779b97f4a7c15u + (ofColours << 6));
}

bool Matches(const StoredKey& stored, const unsigned char* colours, const char* key, int keyLength)
{
    return stored.length == keyLength && std::memcmp(stored.colours, colours, 6) == 0 &&
           s_keys.Text(stored) == std::string_view(key, static_cast<std::size_t>(keyLength));
}

// Name order: lower-case names, then the names as they are.
bool NameLess(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char la = AsciiLower(a[i]);
        const char lb = AsciiLower(b[i]);
        if (la != lb)
            return static_cast<unsigned char>(la) < static_cast<unsigned char>(lb);
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Where a name lies in the text of the folder's names (SortedNames), which
// keeps it there while the view holds the folder.
struct NameRef {
    std::uint32_t at = 0;
    std::uint16_t length = 0;  // 0: no name
};

// What a search has read of the candidates of one base name in one format.
// They are read in name order only as far as a search needs, so those read
// are always the first ones: every candidate up to `scannedTo`, or all of
// them once `scanDone`. Names written since wait in a list (`pending`, from
// 1 into the view's list; 0 when none) until the next search takes their
// keys. The candidates read are in the view's CandidateIndex.
struct StemIndex {
    NameRef scannedTo;  // the last candidate read in name order; none before the first
    std::uint32_t pending = 0;
    bool scanDone = false;
};

// The candidates that searches have read, of every base name, by the hash
// of what they match and of their base name: one table for all, as most
// base names have one or two candidates. An entry points at the
// candidate's key in the run's keys, which stays put, so a hit is compared
// in full against the key the file holds now.
class CandidateIndex {
public:
    void Clear() { byMatch_.clear(); }

    // Adds the candidate `entry` of `stem`, once.
    void Add(const StemIndex& stem, const KeyCache::Entry& entry)
    {
        if (!Indexed(entry.second))
            return;
        const std::size_t at = Slot(stem, HashOf(entry.second));
        for (auto [it, end] = byMatch_.equal_range(at); it != end; ++it)
            if (it->second.stem == &stem && it->second.entry == &entry)
                return;
        byMatch_.emplace(at, Candidate{&stem, &entry});
    }
    // Takes `entry` out of `stem`'s candidates, before its key changes.
    void Remove(const StemIndex& stem, const KeyCache::Entry& entry)
    {
        if (!Indexed(entry.second))
            return;
        for (auto [it, end] = byMatch_.equal_range(Slot(stem, HashOf(entry.second))); it != end; ++it)
            if (it->second.stem == &stem && it->second.entry == &entry) {
                byMatch_.erase(it);
                return;
            }
    }
    // Calls visit(entry) for each candidate of `stem` added under `match`.
    template <typename Visit>
    void ForEachMatch(const StemIndex& stem, std::size_t match, Visit visit) const
    {
        for (auto [it, end] = byMatch_.equal_range(Slot(stem, match)); it != end; ++it)
            if (it->second.stem == &stem)
                visit(*it->second.entry);
    }

private:
    struct Candidate {
        const StemIndex* stem;
        const KeyCache::Entry* entry;
    };

    // A key whose length and text disagree (a text cut at a line feed)
    // matches nothing, and is not indexed.
    static bool Indexed(const StoredKey& key) { return key.length > 0 && key.textLength == key.length; }
    static std::size_t HashOf(const StoredKey& key)
    {
        const std::string_view text = s_keys.Text(key);
        return MatchHash(key.colours, text.data(), text.size());
    }
    // A stem's index stays where it is for the page (the stems are a
    // node-based map), so its address tells the stems apart.
    static std::size_t Slot(const StemIndex& stem, std::size_t match)
    {
        const auto id = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(&stem));
        return match ^ (id * 0x9e3779b97f4a7c15u);
    }

    std::unordered_multimap<std::size_t, Candidate> byMatch_;
};

// The names numbering has taken for one base name and extension: base.ext
// and baseN.ext (N without leading zeros). Numbers are only ever taken
// during a page, so the first free one only moves up. The numbers taken are
// kept sorted in a flat array: most base names have none or a few, and new
// ones mostly come last.
struct NumberCounter {
    bool plainTaken = false;
    std::vector<int> taken;
    int firstFree = 1;

    int FirstFree()
    {
        if (!plainTaken)
            return 0;
        while (std::binary_search(taken.begin(), taken.end(), firstFree))
            ++firstFree;
        return firstFree;
    }
    void Take(int number)
    {
        const auto at = std::lower_bound(taken.begin(), taken.end(), number);
        if (at == taken.end() || *at != number)
            taken.insert(at, number);
    }
};

// The number that `digits` (at most nine, no leading zero) spell, or -1.
int NameNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9 || digits[0] == '0')
        return -1;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

// The folder's names in order.
//
// Each name is kept once in one block of text, lower-cased, and then as it
// is when that differs. The order is kept in two flat sorted arrays of small
// entries: the names present when the folder was read, sorted once, and the
// names written since, which are few. The written ones are merged into the
// first array when they grow many, so that an insertion moves few entries
// however full the folder is.
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

    // Adds a name unless it is there; where the name lies, either way.
    NameRef Insert(std::string_view name)
    {
        const Entry entry = Store(name);
        if (const Entry* found = Find(entry)) {
            text_.resize(entry.offset);  // keep no unused text
            return RefOf(*found);
        }
        const Less less{text_};
        written_.insert(std::lower_bound(written_.begin(), written_.end(), entry, less), entry);
        if (written_.size() * written_.size() > read_.size() + kFewWritten * kFewWritten) {
            const std::size_t middle = read_.size();
            read_.insert(read_.end(), written_.begin(), written_.end());
            std::inplace_merge(read_.begin(), read_.begin() + static_cast<std::ptrdiff_t>(middle), read_.end(), less);
            written_.clear();
        }
        return RefOf(entry);
    }

    bool Has(std::string_view name)
    {
        const Entry entry = Store(name);
        const bool found = Find(entry) != nullptr;
        text_.resize(entry.offset);
        return found;
    }

    // The name at `ref`, until the next name is stored.
    std::string_view At(NameRef ref) const { return {text_.data() + ref.at, ref.length}; }

    // Calls visit(name, ref) in order for every name whose lower-case form
    // is `lowerBase` followed by '.' or a digit 1 to 9 and more, while visit
    // returns true; with `after`, only for those after that name. visit may
    // not add names. No name given may lie in this text, which storing a
    // name may move.
    template <typename Visit>
    void ForEachCandidate(std::string_view lowerBase, Visit visit, std::string_view after = {})
    {
        // The names from lowerBase + "." up to lowerBase + ":" are one stretch
        // of the order: the point run, names going on with '/' or '0', then
        // the digit run. A probe has no exact name, so it sorts before every
        // entry of its lower-case name.
        const std::size_t mark = text_.size();
        const Less less{text_};
        std::vector<Entry>::iterator read, written;
        if (after.empty()) {
            const Entry probe = StoreProbe(lowerBase, '.');
            read = std::lower_bound(read_.begin(), read_.end(), probe, less);
            written = std::lower_bound(written_.begin(), written_.end(), probe, less);
        } else {
            const Entry last = Store(after);
            read = std::upper_bound(read_.begin(), read_.end(), last, less);
            written = std::upper_bound(written_.begin(), written_.end(), last, less);
        }
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
            if ((next == '.' || (next >= '1' && next <= '9')) && !visit(At(RefOf(entry)), RefOf(entry)))
                return;
        }
    }

private:
    // How a name's exact form is kept, after its lower-case form.
    enum class ExactForm : std::uint8_t {
        kProbe,  // none: the entry looks for a place in the order
        kSame,   // it is the lower-case form
        kStored, // it follows the lower-case form, of the same length
    };
    // A name at `offset` in text_. `head` holds the first eight bytes of the
    // lower-case name, first byte highest and zeros past its end, so that
    // most comparisons need no more.
    struct Entry {
        std::uint64_t head;
        std::uint32_t offset;
        std::uint16_t length;
        ExactForm exact;
    };
    static_assert(sizeof(Entry) == 16, "an entry per name stays small");

    static std::string_view LowerIn(const std::string& text, const Entry& e) { return {text.data() + e.offset, e.length}; }
    static std::string_view ExactIn(const std::string& text, const Entry& e)
    {
        switch (e.exact) {
        case ExactForm::kProbe:
            return {};
        case ExactForm::kSame:
            return LowerIn(text, e);
        case ExactForm::kStored:
            break;
        }
        return {text.data() + e.offset + e.length, e.length};
    }
    std::string_view Lower(const Entry& e) const { return LowerIn(text_, e); }
    NameRef RefOf(const Entry& e) const
    {
        return {e.exact == ExactForm::kStored ? e.offset + e.length : e.offset, e.length};
    }

    struct Less {
        const std::string& text;
        // The lower-case name past its head.
        std::string_view Rest(const Entry& e) const
        {
            return e.length > 8 ? std::string_view(text.data() + e.offset + 8, e.length - 8u) : std::string_view();
        }
        bool operator()(const Entry& a, const Entry& b) const
        {
            if (a.head != b.head)
                return a.head < b.head;
            // A name holds no zero bytes, so equal heads of names no longer
            // than eight bytes mean equal names.
            if (a.length > 8 || b.length > 8) {
                const int byLower = Rest(a).compare(Rest(b));
                if (byLower != 0)
                    return byLower < 0;
            }
            return ExactIn(text, a) < ExactIn(text, b);
        }
    };

    // Below this many written names, they are never merged.
    static constexpr std::size_t kFewWritten = 64;

    // A name is at most 255 bytes, and a folder's names far fewer than 4 GB.
    Entry Store(std::string_view name)
    {
        const std::size_t offset = text_.size();
        text_.resize(offset + name.size());
        char* to = text_.data() + offset;
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i) {
            to[i] = AsciiLower(name[i]);
            same = same && to[i] == name[i];
        }
        if (!same)
            text_.append(name);
        return MakeEntry(offset, name.size(), same ? ExactForm::kSame : ExactForm::kStored);
    }

    Entry StoreProbe(std::string_view lowerBase, char next)
    {
        const std::size_t offset = text_.size();
        text_ += lowerBase;
        text_ += next;
        return MakeEntry(offset, lowerBase.size() + 1, ExactForm::kProbe);
    }

    Entry MakeEntry(std::size_t offset, std::size_t length, ExactForm exact) const
    {
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 8; ++i)
            head = head << 8 | (i < length ? static_cast<unsigned char>(text_[offset + i]) : 0u);
        return Entry{head, static_cast<std::uint32_t>(offset), static_cast<std::uint16_t>(length), exact};
    }

    // The entry of the same name in either array, or null.
    const Entry* Find(const Entry& entry) const
    {
        const Less less{text_};
        for (const std::vector<Entry>* entries : {&read_, &written_}) {
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

// True when `name` ends in `extension` (a dot and three letters), ignoring case.
bool EndsInExtension(std::string_view name, const char* extension)
{
    return name.size() >= 4 && StartsWithIgnoringCase(name.substr(name.size() - 4), extension);
}

class FolderView {
public:
    FolderView() = default;
    FolderView(const FolderView&) = delete;
    FolderView& operator=(const FolderView&) = delete;
    ~FolderView() { CloseFolder(); }

    void Begin(const char* folder)
    {
        CloseFolder();
        s_keys.BeginPage();
        folder_ = folder;
        keys_ = &s_keys.FolderOf(folder_);
        loaded_ = false;
        names_.Clear();
        irregular_.clear();
        typesUnknown_ = false;
        sizes_.clear();
        candidates_.Clear();
        stems_.clear();
        pending_.clear();
        counters_.clear();
    }
    void End() { Begin(""); }

    // Makes sure the view holds `folder`, reading it when need be.
    void Use(const char* folder)
    {
        if (loaded_ && folder_ == folder)
            return;
        Begin(folder);
        const bool sweep = !sweepPending_.empty() && sweepPending_ == folder_;
        if (sweep)
            sweepPending_.clear();
        const std::time_t now = sweep ? std::time(nullptr) : 0;
        // Read the folder once, then sort once: a directory lists each name
        // once, so nothing needs to be weeded out.
        if (const DirHandle dir = OpenFolder(folder_.c_str())) {
            while (const dirent* e = readdir(dir.get())) {
                if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                    continue;
                if (sweep && RemoveIfLeftover(dirfd(dir.get()), e->d_name, now))
                    continue;
                names_.AddUnsorted(e->d_name);
                if (e->d_type == DT_UNKNOWN)
                    typesUnknown_ = true;
                else if (e->d_type != DT_REG)
                    irregular_.insert(e->d_name);
            }
        }
        names_.Sort();
        loaded_ = true;
        folderFd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        mayHold_ = folderFd_ >= 0 && MayHoldDescriptors();
        closesCanWait_ = mayHold_ && CloseReportsNothingIn(folderFd_);
    }

    bool Has(const char* fileName) { return names_.Has(fileName); }

    void SweepWhenRead(const char* folder) { sweepPending_ = folder; }
    void FinishSweep()
    {
        if (!sweepPending_.empty())
            RemoveLeftoverFiles(sweepPending_.c_str());
        sweepPending_.clear();
    }

    // The image is new or changed: its key is taken from the bytes written
    // when they are given, else read again when next asked for; its size is
    // read again, and the numbers and candidates it belongs to learn of it.
    void Written(const char* fileName, const ByteBuffer* bytes, ImageFormat format)
    {
        const std::string name = fileName;
        const NameRef stored = names_.Insert(name);
        // Most pages keep no irregular names, sizes or counts.
        if (!irregular_.empty())
            irregular_.erase(name);
        if (!sizes_.empty())
            sizes_.erase(name);
        if (!counters_.empty())
            NoteNumberTaken(name);
        // It is a candidate of every base name that its lower-case name goes
        // on from with '.' or a digit 1 to 9: each index leaves it, under
        // the key it was indexed with, until the next search takes it again.
        const auto known = keys_->find(name);
        // Only the indexes of its own format can take it (a candidate ends
        // in the format's extension).
        const char* suffix = nullptr;
        if (EndsInExtension(name, ".gif"))
            suffix = "/g";
        else if (EndsInExtension(name, ".png"))
            suffix = "/p";
        std::string& id = stemId_;  // the lower-case name so far, then the suffix
        id.clear();
        for (std::size_t i = 0; suffix != nullptr && !stems_.empty() && i < name.size(); ++i) {
            const char c = name[i];
            if (i > 0 && (c == '.' || (c >= '1' && c <= '9'))) {
                id.append(suffix);
                auto found = stems_.find(id);
                id.resize(i);
                if (found != stems_.end()) {
                    if (known != keys_->end())
                        candidates_.Remove(found->second, *known);
                    pending_.push_back({stored, found->second.pending});
                    found->second.pending = static_cast<std::uint32_t>(pending_.size());
                }
            }
            id += AsciiLower(c);
        }
        if (bytes != nullptr && (format == kFormatGif || format == kFormatPng))
            s_keys.Remember(known != keys_->end() ? known->second : (*keys_)[name], bytes->data(), bytes->size(),
                            format);
        else if (known != keys_->end())
            known->second.Reset();  // read again when next asked for
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

    // The name of the first whole candidate of `baseName` in `format`, in
    // name order, whose key and colours are these; null for none. The
    // candidates not read yet are read in name order up to the first that
    // matches, after those already read, which come first. The name stays
    // until the view next changes.
    std::optional<std::string_view> FirstMatch(const char* baseName, ImageFormat format, const unsigned char* colours,
                                  const char* key, int keyLength)
    {
        StemIndex& index = IndexOf(baseName, format);
        // The first in name order of those read that match.
        const std::string* first = nullptr;
        const std::size_t match = MatchHash(colours, key, static_cast<std::size_t>(keyLength));
        candidates_.ForEachMatch(index, match, [&](const KeyCache::Entry& candidate) {
            if (candidate.second.whole && Matches(candidate.second, colours, key, keyLength) &&
                (first == nullptr || NameLess(candidate.first, *first)))
                first = &candidate.first;
        });
        if (first != nullptr)
            return *first;
        if (index.scanDone)
            return std::nullopt;
        bool matched = false;
        after_.assign(names_.At(index.scannedTo));
        ForEachCandidate(
            baseName,
            [&](std::string_view candidate, NameRef ref) {
                index.scannedTo = ref;
                const StoredKey* stored = AddCandidate(index, candidate, format);
                matched = stored != nullptr && stored->whole && Matches(*stored, colours, key, keyLength);
                return !matched;
            },
            after_);
        index.scanDone = !matched;
        if (!matched)
            return std::nullopt;
        return names_.At(index.scannedTo);
    }

    int FirstFreeNumber(const char* baseName, const char* extension)
    {
        const std::string id = std::string(baseName) + '/' + extension;
        if (auto found = counters_.find(id); found != counters_.end())
            return found->second.FirstFree();
        std::size_t walked = 0;
        NumberCounter counter = CountNumbers(baseName, extension, walked);
        // Most base names have an image or two: their count is made again
        // when next needed, from the names, rather than kept for each.
        if (walked < kKeptCountNames)
            return counter.FirstFree();
        return counters_.emplace(id, std::move(counter)).first->second.FirstFree();
    }

    const std::string& folder() const { return folder_; }
    int DescriptorOf(const char* folder) const { return loaded_ && folder_ == folder ? folderFd_ : -1; }
    // Where the descriptor of an image written in `folder` can wait, once
    // linked; of one read, ReadCloses.
    DeferredCloses* ClosesOf(const char* folder)
    {
        return closesCanWait_ && DescriptorOf(folder) >= 0 ? &closes_ : nullptr;
    }
    DeferredCloses* ReadCloses() { return mayHold_ ? &closes_ : nullptr; }
    // The run's keys in `folder`: the view's own when it holds that folder.
    KeyCache::Folder& KeysOf(const char* folder)
    {
        return keys_ != nullptr && folder_ == folder ? *keys_ : s_keys.FolderOf(folder);
    }

private:
    template <typename Visit>
    void ForEachCandidate(const char* baseName, Visit visit, std::string_view after = {})
    {
        lowerBase_.clear();
        for (const char* c = baseName; *c != '\0'; ++c)
            lowerBase_ += AsciiLower(*c);
        names_.ForEachCandidate(lowerBase_, visit, after);
    }

    // The candidates of a base name read so far this page (each key once
    // per run), kept current as images are written.
    StemIndex& IndexOf(const char* baseName, ImageFormat format)
    {
        std::string id;
        for (const char* c = baseName; *c != '\0'; ++c)
            id += AsciiLower(*c);
        id += format == kFormatGif ? "/g" : "/p";
        StemIndex& index = stems_[id];
        for (std::uint32_t next = std::exchange(index.pending, 0); next != 0; next = pending_[next - 1].next) {
            // One after the stretch read is read when the search gets there.
            const std::string_view name = names_.At(pending_[next - 1].name);
            if (Covers(index, name))
                AddCandidate(index, name, format);
        }
        return index;
    }

    // True when `name` lies in the stretch of `index`'s candidates already read.
    bool Covers(const StemIndex& index, std::string_view name) const
    {
        return index.scanDone || (index.scannedTo.length != 0 && !NameLess(names_.At(index.scannedTo), name));
    }

    // Adds the candidate `name` with its key; null (and nothing added) when
    // it is none of `format`'s.
    const StoredKey* AddCandidate(StemIndex& index, std::string_view candidate, ImageFormat format)
    {
        const std::string& name = candidate_.assign(candidate);
        // The candidate must end in the format's extension, ignoring case,
        // and its path must fit.
        const char* extension = format == kFormatGif ? ".gif" : ".png";
        if (!EndsInExtension(name, extension) || folder_.size() + name.size() >= static_cast<std::size_t>(kMaxPath))
            return nullptr;
        // Opened in the folder already open, where it could be.
        if (folderFd_ < 0)
            path_.assign(folder_).append(name);
        const bool regular = !typesUnknown_ && (irregular_.empty() || irregular_.count(name) == 0);
        const KeyCache::Entry& entry =
            folderFd_ >= 0 ? s_keys.Get(*keys_, name, folderFd_, name.c_str(), format, regular, ReadCloses())
                           : s_keys.Get(*keys_, name, AT_FDCWD, path_.c_str(), format, regular);
        candidates_.Add(index, entry);
        return &entry.second;
    }

    // Only names of exactly the form that numbering makes count, as only an
    // entry of exactly that name stops it: base.ext and baseN.ext, N without
    // leading zeros.
    // `walked` is how many names were looked at.
    NumberCounter CountNumbers(const char* baseName, const char* extension, std::size_t& walked)
    {
        NumberCounter counter;
        const std::string_view base(baseName);
        const std::string dotExtension = std::string(".") + extension;
        ForEachCandidate(baseName, [&](std::string_view name, NameRef) {
            ++walked;
            if (name.size() < base.size() + dotExtension.size() || name.compare(0, base.size(), base) != 0 ||
                name.compare(name.size() - dotExtension.size(), dotExtension.size(), dotExtension) != 0)
                return true;
            const std::string_view digits = name.substr(base.size(), name.size() - base.size() - dotExtension.size());
            if (digits.empty())
                counter.plainTaken = true;
            else if (const int number = NameNumber(digits); number > 0)
                counter.taken.push_back(number);
            return true;
        });
        std::sort(counter.taken.begin(), counter.taken.end());
        counter.taken.erase(std::unique(counter.taken.begin(), counter.taken.end()), counter.taken.end());
        return counter;
    }

    // A name just written takes its number in every count it belongs to:
    // "han12.gif" is number 12 of "han" and number 2 of "han1".
    void NoteNumberTaken(const std::string& name)
    {
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos || dot == 0)
            return;
        const std::string extension = name.substr(dot + 1);
        const std::string_view stem(name.data(), dot);
        if (auto found = counters_.find(std::string(stem) + '/' + extension); found != counters_.end())
            found->second.plainTaken = true;
        for (std::size_t digits = 1; digits <= 9 && digits < stem.size(); ++digits) {
            const char c = stem[stem.size() - digits];
            if (c < '0' || c > '9')
                break;
            const int number = NameNumber(stem.substr(stem.size() - digits));
            if (number <= 0)
                continue;
            auto found = counters_.find(std::string(stem.substr(0, stem.size() - digits)) + '/' + extension);
            if (found != counters_.end())
                found->second.Take(number);
        }
    }

    void CloseFolder()
    {
        closes_.CloseAll();  // the images the page read or wrote are all closed when it ends
        mayHold_ = false;
        closesCanWait_ = false;
        if (folderFd_ >= 0)
            close(folderFd_);
        folderFd_ = -1;
    }

    std::string folder_;
    int folderFd_ = -1;  // folder_ open while the view holds it, for opening its images
    bool mayHold_ = false;  // the process may hold some descriptors until the page ends
    bool closesCanWait_ = false;  // and folder_'s file system reports nothing at a close
    DeferredCloses closes_;  // images read or written in folder_, still to close
    KeyCache::Folder* keys_ = nullptr;  // the keys of the run in folder_
    std::string path_;  // scratch: a candidate's path
    std::string candidate_;  // scratch: a candidate's name
    std::string stemId_;  // scratch: a stem's id
    std::string after_;  // scratch: where a search goes on
    bool loaded_ = false;
    SortedNames names_;
    // What the listing said of the names' types: the names it gave as
    // something other than a regular file, and whether it left any unsaid.
    std::unordered_set<std::string> irregular_;
    bool typesUnknown_ = false;
    std::unordered_map<std::string, std::optional<ImageSize>> sizes_;
    CandidateIndex candidates_;
    std::unordered_map<std::string, StemIndex> stems_;  // by lower-case base name and format
    // The names written since a stem's last search, a list for each stem.
    struct PendingName {
        NameRef name;
        std::uint32_t next;  // from 1; 0 ends the list
    };
    std::vector<PendingName> pending_;
    // Counts of taken numbers by base name and extension, kept for those
    // whose candidates are this many names or more.
    static constexpr std::size_t kKeptCountNames = 16;
    std::unordered_map<std::string, NumberCounter> counters_;
    std::string lowerBase_;  // scratch of the candidate search
    std::string sweepPending_;  // the folder whose leftovers go when it is read
};

FolderView s_view;

}  // namespace

void BeginImageRun(bool severalPages)
{
    s_view.End();  // its candidate index points at the keys
    s_keys.Clear(severalPages);
}

void BeginImageFolder(const char* folder)
{
    s_view.Begin(folder);
}

void EndImageFolder()
{
    s_view.End();
}

void SweepLeftoversWhenRead(const char* folder)
{
    s_view.SweepWhenRead(folder);
}

void FinishLeftoverSweep()
{
    s_view.FinishSweep();
}

bool ImageFolderHas(const char* folder, const char* fileName)
{
    s_view.Use(folder);
    return s_view.Has(fileName);
}

void NoteImageWritten(const char* folder, const char* fileName)
{
    s_view.Use(folder);
    s_view.Written(fileName, nullptr, kFormatXbm);
}

void NoteImageWritten(const char* folder, const char* fileName, const ByteBuffer& bytes, ImageFormat format)
{
    s_view.Use(folder);
    s_view.Written(fileName, &bytes, format);
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
    if ((format != kFormatGif && format != kFormatPng) || keyLength <= 0)
        return;
    s_view.Use(folder);
    const std::optional<std::string_view> name = s_view.FirstMatch(baseName, format, colours, key, keyLength);
    if (name) {
        // Both fit: AddCandidate takes no longer path.
        const std::string& at = s_view.folder();
        std::memcpy(foundPath, at.data(), at.size());
        std::memcpy(foundPath + at.size(), name->data(), name->size());
        foundPath[at.size() + name->size()] = '\0';
    }
}

std::uint32_t& ImageRunTag(const char* folder, const char* fileName)
{
    return s_view.KeysOf(folder)[fileName].runTag;
}

int ImageFolderDescriptor(const char* folder)
{
    return s_view.DescriptorOf(folder);
}

DeferredCloses* ImageFolderCloses(const char* folder)
{
    return s_view.ClosesOf(folder);
}

int FirstFreeImageNumber(const char* folder, const char* baseName, const char* extension)
{
    s_view.Use(folder);
    return s_view.FirstFreeNumber(baseName, extension);
}

}  // namespace sylpic
