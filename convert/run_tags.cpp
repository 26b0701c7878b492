#include "convert/run_tags.h"

#include <cstdint>
#include <deque>
#include <unordered_map>

namespace sylpic {

namespace {

// Image path to the first tag of the run that shows it. Tags of one page
// without diagnostics all stand at the page alone, so each place is kept
// once, in the order noted (a deque keeps them where they are).
std::unordered_map<std::string, std::uint32_t> s_runTags;
std::deque<std::string> s_places;

}  // namespace

void BeginRunTags()
{
    s_runTags.clear();
    s_places.clear();
}

void NoteRunTag(const std::string& path, std::string_view page, long line, long column)
{
    const auto [noted, isNew] = s_runTags.try_emplace(path, 0);
    if (!isNew)
        return;
    if (line == 0) {
        if (s_places.empty() || s_places.back() != page)
            s_places.emplace_back(page);
    } else {
        s_places.push_back(std::string(page) + ":" + std::to_string(line) + ":" + std::to_string(column));
    }
    noted->second = static_cast<std::uint32_t>(s_places.size() - 1);
}

const std::string* FindRunTag(const std::string& path)
{
    const auto found = s_runTags.find(path);
    return found == s_runTags.end() ? nullptr : &s_places[found->second];
}

}  // namespace sylpic
