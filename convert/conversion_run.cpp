// The conversion run: pairs each dropped page with its "sp_" source page,
// makes the image folder, converts the page and logs one line for it.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/main_dlg.h"
#include "convert/conversion_run.h"
#include "convert/dir_search.h"
#include "convert/staged_file.h"
#include "convert/path_parts.h"
#include "res/messages.h"

namespace {

// A dropped path keeps at most 255 characters, as a drop delivers it.
constexpr std::size_t kMaxDroppedPath = 255;

// Formats into `to` (kMaxPath bytes); false when the result does not fit.
template <typename... Args>
bool FormatPath(char (&to)[kMaxPath], const char* format, Args... args)
{
    const int n = std::snprintf(to, kMaxPath, format, args...);
    return n >= 0 && n < kMaxPath;
}

bool IsRegularFile(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void DeleteErrorImages(const char* folder)
{
    const std::string pattern = std::string(folder) + "_err_*.*";
    for (const std::string& name : FindMatchingFiles(pattern)) {
        if (strncasecmp(name.c_str(), "_err_", 5) != 0)
            break;
        const std::string path = std::string(folder) + name;
        unlink(path.c_str());  // failures are ignored
    }
}

void CMainDlg::OnDropFiles(const std::vector<std::string>& paths,
                           const std::function<void(CMainDlg&)>& refreshSettings)
{
    if (m_pUi)
        m_pUi->BeginWaitCursor();
    if (refreshSettings)
        refreshSettings(*this);
    ConvertFiles(paths);
    if (m_pUi)
        m_pUi->EndWaitCursor();
}

void CMainDlg::ConvertFiles(const std::vector<std::string>& paths)
{
    m_lastOutcome = RunOutcome::kAllClean;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& dropped = paths[i];

        // A path that the buffers cannot hold whole would be cut and could
        // name another file: refuse the page as one that cannot be opened.
        if (dropped.size() > kMaxDroppedPath || dropped.find('\0') != std::string::npos) {
            LogText(dropped, false, true);
            LogMessage(IDS_CANNOT_OPEN, true, true);
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }

        // 1. Page folder, name and extension of the dropped path.
        std::snprintf(m_szSourcePath, kMaxPath, "%s", dropped.c_str());
        std::snprintf(m_szPageDir, kMaxPath, "%s%s", GetPathPart(m_szSourcePath, kPathDrive),
                      GetPathPart(m_szSourcePath, kPathFolder));
        std::string name = GetPathPart(m_szSourcePath, kPathName);
        const std::string extension = GetPathPart(m_szSourcePath, kPathExtension);

        if (name.size() > 3 && strncasecmp(name.c_str(), "sp_", 3) == 0) {
            // 2. A source page was dropped: the output page drops the prefix.
            FormatPath(m_szOutputPath, "%s%s%s", m_szPageDir, name.c_str() + 3, extension.c_str());
            LogText(m_szOutputPath, false, true);
        } else {
            // 3. An output page was dropped (a file named exactly "sp_" too).
            std::snprintf(m_szOutputPath, kMaxPath, "%s", dropped.c_str());
            const bool fits = FormatPath(m_szSourcePath, "%ssp_%s%s", m_szPageDir, name.c_str(), extension.c_str());
            LogText(m_szOutputPath, false, true);
            if (!fits) {
                LogMessage(IDS_CANNOT_OPEN, true, true);
                m_lastOutcome = RunOutcome::kStopped;
                return;
            }
            if (access(m_szSourcePath, F_OK) == 0) {
                // Its source page exists already: the user edits that one.
                char text[2048];
                const char* n = name.c_str();
                const char* e = extension.c_str();
                std::snprintf(text, sizeof text, LoadMessage(IDS_EDIT_SOURCE), n, e, n, e, n, e, n, e);
                ShowMessageBox(text);
                LogMessage(IDS_NOT_PROCESSED, true, true);
                m_lastOutcome = RunOutcome::kStopped;
                return;
            }
            // Only a page (a regular file, or a link to one) becomes a source
            // page: a folder or a FIFO dropped by mistake is refused as a
            // page that cannot be opened before anything is renamed.
            if (!IsRegularFile(m_szOutputPath)) {
                LogMessage(IDS_CANNOT_OPEN, true, true);
                m_lastOutcome = RunOutcome::kStopped;
                return;
            }
            // First drop of this page: keep it as the source page. Owner read
            // and write are added so that the author can edit it; a failed
            // rename shows as a source page that cannot be opened.
            struct stat st;
            if (lstat(m_szOutputPath, &st) == 0 && S_ISREG(st.st_mode))
                chmod(m_szOutputPath, (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
            std::rename(m_szOutputPath, m_szSourcePath);
        }

        // 4. The image folder beside the page.
        if (!FormatPath(m_szImageDir, "%shanimg/", m_szPageDir)) {
            LogMessage(IDS_CANNOT_OPEN, true, true);
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }
        m_szImageDir[std::strlen(m_szImageDir) - 1] = '\0';
        mkdir(m_szImageDir, 0777);  // an existing folder, or any failure, is ignored
        std::strcat(m_szImageDir, "/");

        // 5. Error images go only for the first page of the drop.
        if (i == 0 && m_bDeleteErrorFiles)
            DeleteErrorImages(m_szImageDir);

        // 6. The source page: only a regular file is read, so a folder or a
        // FIFO is refused instead of read as empty or waited on.
        FILE* source = IsRegularFile(m_szSourcePath) ? std::fopen(m_szSourcePath, "rb") : nullptr;
        if (!source) {
            LogMessage(IDS_CANNOT_OPEN, true, true);
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }

        // 7. The output page is written to a temporary file beside it and
        // moved into place only when complete, so a failure keeps the last
        // good output page.
        StagedFile output;
        if (!output.Open(m_szOutputPath, ".sylpic-page-")) {
            std::fclose(source);
            LogMessage(IDS_CANNOT_CREATE, true, true);
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }

        // 8. Convert.
        const int result = ConvertPage(source, output.file());
        std::fclose(source);

        // 9. Report. After a fatal error the page scanner has logged why.
        if (result < 0) {
            output.Discard();
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }
        if (!output.Commit()) {
            LogMessage(IDS_CANNOT_CREATE, true, true);
            m_lastOutcome = RunOutcome::kStopped;
            return;
        }
        char line[256];
        if (result == 0) {
            std::snprintf(line, sizeof line, LoadMessage(IDS_PAGE_DONE), m_nImageCount, m_nCreatedCount);
        } else {
            std::snprintf(line, sizeof line, LoadMessage(IDS_PAGE_ERRORS), m_nImageCount, m_nCreatedCount, result);
            m_lastOutcome = RunOutcome::kBlockErrors;
        }
        LogText(line, true, true);
    }
}
