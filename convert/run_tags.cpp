#include "convert/run_tags.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace sylpic {

namespace {

// Where a first tag stands: its page, as an index into the run's pages,
// and its line and column (line 0: the page alone). Tags of one page
// without diagnostics all stand at the page alone, so that place is kept
// once; the text of a place is made only when it is asked for.
struct TagPlace {
    std::uint32_t page;
    long line;
    long column;
};

// Image path to the place of the first tag of the run that shows it.
std::unordered_map<std::string, std::uint32_t> s_runTags;
std::vector<TagPlace> s_places;
std::vector<std::string> s_pages;

}  // namespace

void BeginRunTags()
{
    s_runTags.clear();
    s_places.clear();
    s_pages.clear();
}

void NoteRunTag(const std::string& path, std::string_view page, long line, long column)
{
    const auto [noted, isNew] = s_runTags.try_emplace(path, 0);
    if (!isNew)
        return;
    if (s_pages.empty() || s_pages.back() != page)
        s_pages.emplace_back(page);
    const auto pageIndex = static_cast<std::uint32_t>(s_pages.size() - 1);
    const bool samePlace = line == 0 && !s_places.empty() && s_places.back().page == pageIndex &&
                           s_places.back().line == 0;
    if (!samePlace)
        s_places.push_back({pageIndex, line, column});
    noted->second = static_cast<std::uint32_t>(s_places.size() - 1);
}

std::optional<std::string> FindRunTag(const std::string& path)
{
    const auto found = s_runTags.find(path);
    if (found == s_runTags.end())
        return std::nullopt;
    const TagPlace& place = s_places[found->second];
    std::string where = s_pages[place.page];
    if (place.line != 0)
        where += ":" + std::to_string(place.line) + ":" + std::to_string(place.column);
    return where;
}

}  // namespace sylpic
