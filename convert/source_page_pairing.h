#pragma once
// The first drop of a page keeps the dropped file as its source page: the
// source name is made a second name of the same file, so the page itself
// stays where it is, served as it was, until the converted page replaces
// it. A run that fails or is killed before then leaves the page in place
// beside its source page.

namespace sylpic {

enum class SourcePagePairing {
    kPaired,  // the source page now holds the page's text
    kTaken,   // an entry stands at the source name already: it is never replaced
    kFailed   // no source page was made
};

// Makes `source` a hard link to `page`; where the file system has no hard
// links, a copy of `page` written beside it under a temporary name and moved
// to `source` only when no entry has taken that name. On kFailed, `error`
// is the errno of the step that failed.
SourcePagePairing PairSourcePage(const char* page, const char* source, int& error);

}  // namespace sylpic
