#pragma once
// The output page while it is written: a temporary file in the page's folder
// that replaces the output page only when the page is complete. Until then the
// last good output page stays as it was.
#include <cstdio>
#include <string>

class OutputPage {
public:
    OutputPage() = default;
    ~OutputPage();
    OutputPage(const OutputPage&) = delete;
    OutputPage& operator=(const OutputPage&) = delete;

    // Opens a temporary file beside `path`. False when the output page could
    // not be written: a folder or a read-only file stands at `path`, or the
    // folder takes no new file.
    bool Open(const std::string& path);
    FILE* file() const { return file_; }
    // Flushes, closes and moves the temporary file onto the output page.
    // False (and the temporary file removed) when any of it failed.
    bool Commit();
    // Closes and removes the temporary file; the output page is untouched.
    void Discard();

private:
    FILE* file_ = nullptr;
    std::string path_;
    std::string tempPath_;
};
