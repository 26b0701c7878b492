#pragma once
// Shared helpers of the tests: scratch folders, whole-file reads and writes,
// and a user interface that records what the core shows.
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interface.h"

namespace sylpic {

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

// What a run of the sylpic binary gave.
struct RunResult {
    int status;
    std::string out;
    std::string err;
};
// Runs sylpic in `dir` with `args` (shell words), after `environment`
// (shell assignments, "NAME='value' ...").
RunResult RunSylpic(const ScratchDir& dir, const std::string& args, const std::string& environment = "");

// Writes a fonts.conf in `dir` under which fontconfig sees only the Nanum
// fonts, NanumGothic with `family` before its own names (so listed as that),
// and keeps its cache in `dir`. Returns the environment that selects it.
std::string WriteFontConfig(const ScratchDir& dir, const std::string& family);

}  // namespace sylpic
