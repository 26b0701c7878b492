#include "convert/page_font.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/block_diagnostics.h"
#include "convert/file_cause.h"
#include "convert/page_scan.h"
#include "convert/real_text.h"
#include "convert/staged_file.h"
#include "data/limits.h"
#include "imaging/font_engine.h"
#include "imaging/web_font.h"
#include "res/messages.h"

namespace sylpic {

namespace {

// Whether the file at `path` is a whole WOFF2 file, read as it stands.
bool IsWholeFontFile(const std::string& path, bool& exists)
{
    exists = false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        struct stat st;
        exists = lstat(path.c_str(), &st) == 0;
        return false;
    }
    exists = true;
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed && IsWholeWoff2(bytes.data(), bytes.size());
}

enum class FontFileResult { kFound, kWritten, kNoFont, kFailed };

// One weight's file: found whole, or subset and written. A new name is
// taken only where no entry stands (another process may be writing the
// same font: its whole file serves as well); a damaged file is replaced
// through a staged file.
FontFileResult PutFontFile(const WebFontFace& face, const std::vector<char32_t>& codePoints,
                           const std::string& family, const std::string& path, int& cause)
{
    bool exists = false;
    if (IsWholeFontFile(path, exists))
        return FontFileResult::kFound;
    ByteBuffer woff2;
    if (SubsetToWoff2(face, codePoints, family, woff2) != ImagingStatus::kOk)
        return FontFileResult::kNoFont;
    StagedFile file;
    const auto failed = [&](int why) {
        cause = why;
        return FontFileResult::kFailed;
    };
    if (!file.Open(path, kStagedFontPrefix) || !file.WriteAll(woff2.data(), woff2.size()))
        return failed(file.Error());
    if (exists)
        return file.Commit() ? FontFileResult::kWritten : failed(file.Error());
    switch (file.CommitToFreeName()) {
    case FreeNameMove::kMoved: return FontFileResult::kWritten;
    case FreeNameMove::kTaken:
        // Another process's file took the name: a damaged one stays its own.
        return IsWholeFontFile(path, exists) ? FontFileResult::kFound : failed(EEXIST);
    case FreeNameMove::kUnsupported: return failed(EOPNOTSUPP);
    case FreeNameMove::kFailed: break;
    }
    return failed(file.Error());
}

}  // namespace

bool FindRunWebFont(const std::string& fontName, ConversionLog& log, BlockDiagnostics* diagnostics,
                    WebFontFamily& family)
{
    family.faces.clear();
    const std::vector<FaceFileName> files = ListFamilyFaceFiles(fontName);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const bool chosen = i == 0;
        WebFontFace face;
        if (LoadWebFontFace(files[i].path, files[i].index, face) != ImagingStatus::kOk) {
            if (chosen) {
                log.LogMessage(IDS_FONT_FAILED, true, true);
                return false;
            }
            continue;
        }
        const EmbeddingPermission permission = ReadEmbeddingPermission(face.fsType);
        if (permission != EmbeddingPermission::kAllowed) {
            if (chosen) {
                log.ShowMessageBox(FormatFaceNotEmbeddable(fontName, EmbeddingPermissionText(permission)));
                return false;
            }
            if (diagnostics != nullptr)
                diagnostics->Warn(files[i].path + ": left out of the web fonts: " + EmbeddingPermissionText(permission));
            continue;
        }
        // One face for each weight: the chosen face's, then the first file's.
        const bool weightTaken = std::any_of(family.faces.begin(), family.faces.end(),
                                             [&](const WebFontFace& other) { return other.weight == face.weight; });
        if (!weightTaken)
            family.faces.push_back(std::move(face));
    }
    if (family.faces.empty()) {
        log.LogMessage(IDS_FONT_FAILED, true, true);
        return false;
    }
    return true;
}

bool WritePageFont(PageJob& job, RealTextPage& page)
{
    const WebFontFamily& fonts = *job.webFont;
    const std::vector<char32_t> codePoints(page.codePoints.begin(), page.codePoints.end());
    const std::string hash = WebFontHash(fonts, codePoints);
    const std::string family = "sylpic-" + hash;
    std::vector<WebFontFaceFile> files;
    for (std::size_t i = 0; i < fonts.faces.size(); ++i) {
        const WebFontFace& face = fonts.faces[i];
        const std::string fileName =
            i == 0 ? family + ".woff2" : family + "-" + std::to_string(face.weight) + ".woff2";
        const std::string path = std::string(job.imageDir) + fileName;
        if (path.size() >= static_cast<std::size_t>(kMaxPath)) {
            job.log.LogMessage(IDS_CANNOT_CREATE, true, true);
            ReportFileCause(job.log, path, kCausePathTooLong);
            return false;
        }
        int cause = 0;
        switch (PutFontFile(face, codePoints, family, path, cause)) {
        case FontFileResult::kWritten:
            ++job.createdCount;
            break;
        case FontFileResult::kFound:
            break;
        case FontFileResult::kNoFont:
            job.log.LogMessage(IDS_FONT_FAILED, true, true);
            return false;
        case FontFileResult::kFailed:
            job.log.LogMessage(IDS_CANNOT_CREATE, true, true);
            ReportFileCause(job.log, path, cause);
            return false;
        }
        files.push_back({fileName, face.weight});
    }
    page.style = FontStyleElement(family, files);
    return true;
}

}  // namespace sylpic
