#pragma once
// The numbered message strings (the string table), as UTF-8.

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
};

// The text of a numbered message, or "" for a number that has none.
const char* LoadMessage(int number);
