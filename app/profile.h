#pragma once
// A small private-profile (INI) file: "[section]" headers and "key=value"
// lines. Sections and keys are found ignoring case. Writing a value keeps
// every other line of the file as it was.
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing file, or anything but a regular file (a
    // FIFO is never waited on), reads as empty (false).
    bool Load();
    // Writes the file back; false when it cannot be written or something
    // other than a regular file stands at its path.
    bool Save() const;

    // The value as text, white space trimmed and one pair of surrounding
    // double quotes removed; `fallback` when the key is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The value's leading decimal digits; `fallback` when the key is missing,
    // 0 when the value is no number or below zero.
    int GetInt(std::string_view section, std::string_view key, int fallback) const;

    // Whether the section holds the key, whatever its value.
    bool HasKey(std::string_view section, std::string_view key) const { return FindKey(section, key) >= 0; }

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInt(std::string_view section, std::string_view key, int value);

    const std::string& path() const { return path_; }

private:
    // Index of the line holding `key` in `section`, or -1.
    int FindKey(std::string_view section, std::string_view key) const;
    // Index of the header line of `section`, or -1.
    int FindSection(std::string_view section) const;

    std::string path_;
    std::vector<std::string> lines_;
};
