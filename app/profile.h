#pragma once
// A small private-profile (INI) file: "[section]" headers and "key=value"
// lines. Sections and keys are found ignoring case. Writing a value keeps
// every other line of the file as it was, its line end included; a line
// added takes the file's first line end (CR LF in a new file).
#include <string>
#include <string_view>
#include <vector>

#include "app/whole_file_replacement.h"

namespace sylpic {

class ProfileFile {
public:
    explicit ProfileFile(std::string path) : path_(std::move(path)) {}

    // Reads the file; a missing file, or anything but a regular file (a
    // FIFO is never waited on), reads as empty (false).
    bool Load();
    // Writes the file back whole, through a temporary file renamed over it
    // (app/whole_file_replacement.h), so a failure leaves the file as it
    // was. False when it cannot be written, when a read-only file or
    // anything but a regular file stands at its path; SaveFailure() then
    // tells which file and why.
    bool Save();
    const FileReplacement& SaveFailure() const { return saveResult_; }

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

    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n", or nothing for a last line without one
    };

    std::string path_;
    std::vector<Line> lines_;
    std::string lineEnd_ = "\r\n";  // for the lines added
    FileReplacement saveResult_;
};

}  // namespace sylpic
