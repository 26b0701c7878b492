#include "convert/run_tags.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "convert/image_folder_view.h"

namespace sylpic {

namespace {

// Where a first tag stands: its page, as an index into the run's pages,
// and its line and column (line 0: the page alone). Tags of one page
// without diagnostics all stand at the page alone, so that place is kept
// once; the text of a place is made only when it is asked for. Each image
// keeps the number of its first tag's place beside its key.
struct TagPlace {
    std::uint32_t page;
    std::uint32_t line;
    std::uint32_t column;
};

std::vector<TagPlace> s_places;  // place N is s_places[N - 1]
std::vector<std::string> s_pages;

std::uint32_t Counted(long n)
{
    constexpr long kMost = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(n < 0 ? 0 : n > kMost ? kMost : n);
}

}  // namespace

void BeginRunTags()
{
    s_places.clear();
    s_pages.clear();
}

void NoteRunTag(const char* folder, const char* fileName, std::string_view page, long line, long column)
{
    std::uint32_t& first = ImageRunTag(folder, fileName);
    if (first != 0)
        return;
    if (s_pages.empty() || s_pages.back() != page)
        s_pages.emplace_back(page);
    const auto pageIndex = static_cast<std::uint32_t>(s_pages.size() - 1);
    const bool samePlace = line == 0 && !s_places.empty() && s_places.back().page == pageIndex &&
                           s_places.back().line == 0;
    if (!samePlace)
        s_places.push_back({pageIndex, Counted(line), Counted(column)});
    first = static_cast<std::uint32_t>(s_places.size());
}

std::optional<std::string> FindRunTag(const char* folder, const char* fileName)
{
    const std::uint32_t first = ImageRunTag(folder, fileName);
    if (first == 0 || first > s_places.size())
        return std::nullopt;
    const TagPlace& place = s_places[first - 1];
    std::string where = s_pages[place.page];
    if (place.line != 0)
        where += ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
    return where;
}

}  // namespace sylpic
