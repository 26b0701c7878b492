#include "convert/run_tags.h"

#include <unordered_map>

namespace {

// Image path to the first tag of the run that shows it.
std::unordered_map<std::string, std::string> s_runTags;

}  // namespace

void BeginRunTags()
{
    s_runTags.clear();
}

void NoteRunTag(const std::string& path, const std::string& where)
{
    s_runTags.emplace(path, where);
}

const std::string* FindRunTag(const std::string& path)
{
    const auto found = s_runTags.find(path);
    return found == s_runTags.end() ? nullptr : &found->second;
}
