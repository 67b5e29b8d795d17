// What the walk of a tree leaves out besides the entry's own backup folder:
// the user's patterns, the files Windows names for backup programs to leave
// out, and the items a backup must neither follow (folder links) nor read
// (files that are only in the cloud). Text and numbers only, so that every
// rule is tested natively; the registry and the listing are read elsewhere.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Whether text matches pattern, both read by characters: "*" any run of
// characters, "?" exactly one (a double-byte character is one), ASCII
// letters without regard to case, the bytes of a double-byte character as
// they are (its second byte may be 0x5C or a letter). Neither wildcard ever
// matches a "\" separator, so a pattern of a path matches folder by folder.
bool wildcard_match(const char* pattern, std::size_t pattern_len, const char* text, std::size_t text_len);

// The user's patterns as the settings box and set.ini hold them, apart by
// ";". What a new installation leaves out: the system folders of a drive's
// root, Explorer's thumbnail caches and Office's owner files, nothing a user
// made.
constexpr char kPatternSeparator = ';';
constexpr char kDefaultExclusions[] = "System Volume Information;$RECYCLE.BIN;Thumbs.db;~$*";

enum class PatternFault {
    none,
    empty,     // nothing (or only spaces) between two separators, or before the first
    too_wide,  // "*", "*.*": it would leave out every file of the tree
};

// The first pattern of text the settings box cannot keep: its fault, and
// where it begins and how long it is in text. A separator at the very end
// is no pattern of its own and no fault.
struct PatternCheck {
    PatternFault fault = PatternFault::none;
    std::size_t at = 0;
    std::size_t length = 0;
};
PatternCheck check_patterns(const char* text);

// The user's patterns, ready for the walk. A pattern without "\" is matched
// against every file's and folder's name, one with "\" against the item's
// path from the entry's source ("AppData\Local\Temp" and
// "\AppData\Local\Temp" are the same). Spaces around a pattern are not part
// of it. A pattern check_patterns refuses (from a hand-edited set.ini) is
// passed over, so that it never leaves out the whole tree.
class NamePatterns {
public:
    NamePatterns() = default;
    explicit NamePatterns(const char* text);

    bool empty() const { return names_.empty() && paths_.empty(); }
    // name: as listed; relative: the item's path from the source, "\a\name".
    bool leaves_out(const char* name, std::size_t name_len, const char* relative, std::size_t relative_len) const;

private:
    std::vector<std::string> names_;
    std::vector<std::string> paths_;  // without a leading or trailing "\"
};

// One line of Windows' list of files that backup programs leave out, or a
// loaded registry hive's file: a folder, a pattern for the names in it, and
// whether the folders below it count too.
struct SystemExclusion {
    std::string folder;       // folder_key of the folder; for any_root, the part after the root
    bool any_root = false;    // written without a drive: "\pagefile.sys" is in the root of every drive
    std::string name;         // a wildcard_match pattern
    bool subfolders = false;  // " /s"
    // The whole folder and all below it: "*" with " /s". Such a folder is
    // left out of the walk as one.
    bool whole_folder() const { return subfolders && name == "*"; }
};

// One string of a FilesNotToBackup value, its environment variables already
// expanded: "C:\Users\taro\AppData\Local\Temp\* /s", "\pagefile.sys". "*.*"
// is every name, as Windows reads it there. False for a string without a
// folder part or a name, which names nothing the program can find.
bool parse_system_exclusion(const char* text, SystemExclusion& out);

// A loaded hive (its file's full path, as a drive path) and the files
// Windows keeps beside it and holds open with it: its logs (".LOG",
// ".LOG1", ".LOG2") and its transaction files ("{…}.TM.blf",
// "{…}.TMContainer….regtrans-ms").
void add_hive_exclusions(const char* hive_path, std::vector<SystemExclusion>& out);

// The system's exclusions for one folder of the walk (its full path), found
// once per folder so that each of its files costs a few name matches.
class FolderExclusions {
public:
    FolderExclusions() = default;
    FolderExclusions(const std::vector<SystemExclusion>& all, const char* folder, std::size_t len);
    // Every file and folder in it is left out (a whole folder below an exclusion).
    bool whole() const { return whole_; }
    bool leaves_out(const char* name, std::size_t len) const;

private:
    std::vector<const SystemExclusion*> applying_;
    bool whole_ = false;
};

// What an item of a listing is to the walk, from its attributes and (when
// it is a reparse point) its reparse tag. A folder link (junction, symbolic
// link, mount point: a tag that is a name surrogate, or none given, as Wine
// gives none) is never walked; a folder with another reparse point (a cloud
// client's folder, deduplication) holds the user's files and is. A file
// that is only in the cloud is never read, for reading it downloads it.
enum class ListedKind { file, file_link, folder, folder_link, cloud_only_file };
ListedKind listed_kind(unsigned long attributes, unsigned long reparse_tag);
