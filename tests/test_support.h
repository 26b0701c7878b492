#pragma once
// Shared helpers of the tests: scratch folders, whole-file reads and writes,
// and a user interface that records what the core shows.
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interface.h"

// A fresh folder under /tmp, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // The folder, with a trailing '/'.
    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);

// Remembers the log as the user would see it and every message box.
class RecordingUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override { log += text; }
    void LogReplaced(std::string_view text) override { log = text; }
    void ShowMessageBox(std::string_view text) override { boxes.emplace_back(text); }
    void BeginWaitCursor() override { ++waitDepth; ++waitCalls; }
    void EndWaitCursor() override { --waitDepth; }

    std::string log;
    std::vector<std::string> boxes;
    int waitDepth = 0;
    int waitCalls = 0;
};

// The Hangul face the drawing tests use.
inline constexpr const char* kTestFont = "NanumGothic";

// Text as code page 932 bytes (the pages' code page).
std::string ToCp932(std::string_view utf8);
