#include "app/profile.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

std::string_view Trim(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(kLineBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(kLineBlanks);
    return s.substr(first, last - first + 1);
}

// The section name of a "[name]" line, or nothing when it is no header.
bool SectionHeader(std::string_view line, std::string_view& name)
{
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// Only a regular file is read or written: opening a FIFO would wait for
// the other end, and a folder holds no settings.
bool IsSettingsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool ProfileFile::Load()
{
    lines_.clear();
    lineEnd_ = "\r\n";
    if (!IsSettingsFile(path_))
        return false;
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t start = 0; start < bytes.size();) {
        const std::size_t newline = bytes.find('\n', start);
        Line line;
        if (newline == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            line.text = bytes.substr(start, newline - start);
            line.end = "\n";
            start = newline + 1;
        }
        if (!line.end.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.end.insert(0, "\r");
        }
        lines_.push_back(std::move(line));
    }
    if (!lines_.empty() && !lines_.front().end.empty())
        lineEnd_ = lines_.front().end;
    return true;
}

bool ProfileFile::Save()
{
    std::string bytes;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        // A last line without its end gets one only when lines follow it.
        const bool last = i + 1 == lines_.size();
        bytes += line.text;
        bytes += line.end.empty() && !last ? lineEnd_ : line.end;
    }
    saveResult_ = ReplaceFileWhole(path_, bytes);
    return saveResult_.ok;
}

int ProfileFile::FindSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionHeader(lines_[i].text, name) && EqualsIgnoringCase(name, section))
            return static_cast<int>(i);
    }
    return -1;
}

int ProfileFile::FindKey(std::string_view section, std::string_view key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return -1;
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionHeader(lines_[i].text, name))
            break;
        const std::string_view line = lines_[i].text;
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && EqualsIgnoringCase(Trim(line.substr(0, equals)), key))
            return static_cast<int>(i);
    }
    return -1;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    const int at = FindKey(section, key);
    if (at < 0)
        return std::string(fallback);
    const std::string_view line = lines_[static_cast<std::size_t>(at)].text;
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const
{
    if (FindKey(section, key) < 0)
        return fallback;
    const std::string value = GetString(section, key, "");
    long number = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + (c - '0');
        if (number > 0x7FFFFFFF)
            return 0;
    }
    return static_cast<int>(number);
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(key) + "=" + std::string(value);
    const int at = FindKey(section, key);
    if (at >= 0) {
        lines_[static_cast<std::size_t>(at)].text = line;
        return;
    }
    const int header = FindSection(section);
    if (header < 0) {
        lines_.push_back({"[" + std::string(section) + "]", lineEnd_});
        lines_.push_back({line, lineEnd_});
        return;
    }
    // After the section's last key line.
    std::size_t insertAt = static_cast<std::size_t>(header) + 1;
    for (std::size_t i = insertAt; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionHeader(lines_[i].text, name))
            break;
        if (!Trim(lines_[i].text).empty())
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{line, lineEnd_});
}

void ProfileFile::WriteInt(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

}  // namespace sylpic
