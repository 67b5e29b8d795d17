// Listing a folder for the ANSI program. The one place where a wide call
// serves it: the names come from FindFirstFileW, so that a name code page
// 932 cannot hold is told apart from a plain one (listed by FindFirstFileA,
// café.txt would pass for cafe.txt), and is given by its short name.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/listed_name.h"

struct ListedItem {
    DWORD attributes;
    DWORD reparse_tag;  // of a reparse point, as the listing gives it (0 when it gives none)
    FILETIME last_write;
    std::uint64_t size;
    NameReach reach;
    char name[kFieldSize];  // the name to reach it by; with "?" when there is none
};

// How a listing ended. searched is false when the folder could not be
// searched at all (error: why; ERROR_FILE_NOT_FOUND when nothing matched).
// A listing that some error ended after its first items (a share's hiccup)
// is searched but not whole: error holds the code, and the items it would
// have gone on with are unknown. error is 0 for a listing that went to its
// end or that visit stopped.
struct ListingEnd {
    bool searched;
    DWORD error;
    bool whole() const { return searched && error == 0; }
};

// Calls visit for every item the search pattern (an ANSI path ending in a
// wildcard) yields, "." and ".." included, in the file system's order,
// until visit returns false.
ListingEnd for_each_listed_item(const char* pattern, const std::function<bool(const ListedItem&)>& visit);

// A whole UTF-16 path as an ANSI path: itself when code page 932 holds it
// exactly, else its short path; false, out empty, when neither is held
// (the volume keeps no short names).
bool ansi_path_of(const wchar_t* path, char (&out)[kFieldSize]);

// A path below a folder, in UTF-16 as a watch reports it ("a\\b\\name"), as
// the walk names it: "\\a\\b\\name" with each name as it is when code page 932
// holds it exactly, else by its short name; false when a name has neither.
bool ansi_names_below(const wchar_t* folder, const wchar_t* below, std::size_t len, std::string& out);

// Where a folder link leads, as a path this program can show: empty when
// the link's target is gone or cannot be held in code page 932.
bool link_target(const char* path, char (&out)[kFieldSize]);
