#pragma once
// The numbered message strings (the string table), as UTF-8.
#include <string>
#include <string_view>

namespace sylpic {

// Message numbers.
enum : int {
    IDS_ABOUTBOX = 101,        // the About item of the window menu
    IDS_NO_HANGUL_FONT = 102,
    IDS_CANNOT_OPEN = 103,
    IDS_CANNOT_CREATE = 104,
    IDS_INTERNAL_ERROR = 105,
    IDS_NO_MEMORY = 106,
    IDS_PAGE_DONE = 107,       // format: images, created
    IDS_PAGE_ERRORS = 108,     // format: images, created, errors
    IDS_FONT_FAILED = 109,
    IDS_EDIT_SOURCE = 110,     // format: name, ext four times over
    IDS_NOT_PROCESSED = 111,
    IDS_NO_KOREAN = 113,
    IDS_SETTINGS_NOT_SAVED = 114,  // format: path, reason
    IDS_FACE_NOT_EMBEDDABLE = 115,  // format: face, what its licence bit forbids
};

// The reasons a failure's cause gives where the system has no error text of
// its own (the command line's "sylpic: PATH: REASON"); they are not numbered
// messages.
inline constexpr char kReasonPathTooLong[] = "path longer than 259 bytes";
inline constexpr char kReasonDroppedPathTooLong[] = "path longer than 255 bytes";
inline constexpr char kReasonNotRegularFile[] = "not a regular file";

// The text of a numbered message, or "" for a number that has none. Messages
// with figures in them are read through the formatters below; their table
// text is never used as a printf format.
const char* LoadMessage(int number);

// Message 107 with the page's figures: images, images created.
std::string FormatPageDone(int images, int created);
// Message 108: images, images created, errors.
std::string FormatPageErrors(int images, int created, int errors);
// Message 110 for the page NAME.EXT whose source page sp_NAME.EXT exists.
std::string FormatEditSource(std::string_view name, std::string_view extension);
// Message 114, the box shown when the settings file cannot be written: the
// file's path and the reason.
std::string FormatSettingsNotSaved(std::string_view path, std::string_view reason);
// Message 115: the face whose licence forbids web-font subsets, and what
// its fsType bit forbids.
std::string FormatFaceNotEmbeddable(std::string_view face, std::string_view forbidden);
// The box shown when a PNG image cannot be saved: the error code (1 no write
// structure, 2 no info structure, 3 an error while writing) and the text of
// the failure ("Write Error" when the file could not be written).
std::string FormatSaveFailure(int code, std::string_view detail);

}  // namespace sylpic
