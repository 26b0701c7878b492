#pragma once
// Directory search by wildcard pattern, as the conversion needs it: '*' and
// '?' match ignoring the case of ASCII letters, and "*.*" at the end of a
// pattern also matches names without a point. Entries come in name order.
#include <string>
#include <vector>

namespace sylpic {

// True when `name` matches the wildcard `pattern` (no folder in either).
bool WildcardMatch(const char* pattern, const char* name);

// The names (without folder) of the entries of the folder part of
// `pathPattern` (up to its last '/') that match its last component, sorted
// by name. "." and ".." are never returned. An unreadable folder gives none.
std::vector<std::string> FindMatchingFiles(const std::string& pathPattern);

}  // namespace sylpic
