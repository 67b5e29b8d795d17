// Where a backup goes: whether its drive or share is there, and the folders
// of a destination file path entered, made where they are missing.
#include <windows.h>

#include <cstring>

#include "base/text.h"
#include "engine/backup_folder.h"

// Enters the root of a network path ("\\server\share" and a "\") and puts
// it in accumulated. False when the server or the share is not there, as for
// a drive that is not there: neither can be made.
static bool enter_share_root(const char* path, PathRoot root, char (&accumulated)[kFieldSize])
{
    if (root.length + 1 > kMaxText)
        return false;
    std::memcpy(accumulated, path, root.length);
    std::strcpy(accumulated + root.length, "\\");
    bool entered = SetCurrentDirectoryA(accumulated) != 0;
    accumulated[root.length] = 0;
    return entered;
}

// Enters the folder, made first by make (its name from the folder entered
// now) when it is not there. A make that fails because another program made
// the folder meanwhile does no harm: the second enter finds it.
static bool enter_or_make(const char* folder, const char* make)
{
    if (SetCurrentDirectoryA(folder))
        return true;
    CreateDirectoryA(make, nullptr);
    return SetCurrentDirectoryA(folder) != 0;
}

// Whether making the folder (no separator at its end) in one call makes what
// the walk below would make: a folder below a drive's root ("C:\..."), below
// a share, or relative to the working folder. "\x" would be made on the
// current drive and "C:x" in that drive's current folder, where the walk
// refuses or starts at the root; a share's root would be made on its server.
static bool made_as_the_walk_would(const char* folder, std::size_t len, PathRoot root)
{
    switch (root.kind) {
    case RootKind::drive: return len > 3 && folder[2] == '\\';
    case RootKind::share: return len > root.length + 1;
    case RootKind::none: return folder[0] != '\\';
    default: return false;
    }
}

// Enters the file path's folder in one call. It is there for every file of
// a folder but the first, and entering it level by level costs a call a
// level, each a round trip to the wineserver under Wine. For the first file
// of a new folder of the tree only its last level is missing, and it is
// made in one call too. False when the folder cannot be entered so (more
// than one level is missing, or the path has no folder part): the levels
// are then walked.
static bool enter_whole_folder(const char* path, PathRoot root)
{
    std::size_t folder_len = folder_part_length(path);
    if (folder_len < 2)
        return false;
    char folder[kFieldSize];
    // "C:" keeps its separator, as the drive's root; any other folder loses it.
    std::size_t keep = folder_len == 3 && path[1] == ':' ? folder_len : folder_len - 1;
    if (!copy_text(folder, sizeof folder, path, keep))
        return false;
    return made_as_the_walk_would(folder, keep, root) ? enter_or_make(folder, folder)
                                                      : SetCurrentDirectoryA(folder) != 0;
}

unsigned long last_system_error()
{
    return GetLastError();
}

bool backup_root_present(const char* folder)
{
    PathRoot root = path_root(folder);
    if (root.kind != RootKind::drive && root.kind != RootKind::share)
        return true;
    char path[kFieldSize];
    if (!copy_text(path, sizeof path - 1, folder, root.length))
        return true;
    std::strcat(path, "\\");
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Enters the next level of a destination path (level_len bytes at level)
// below the folder accumulated so far, made there when it is missing, and
// adds it to accumulated. False when it cannot be entered or the path would
// grow over 259 bytes.
static bool enter_level(char (&accumulated)[kFieldSize], std::size_t& acc_len, const char* level,
                        std::size_t level_len)
{
    bool separator = acc_len >= 2 && !ends_in_separator(accumulated, acc_len);
    if (acc_len + (separator ? 1 : 0) + level_len > kMaxText)
        return false;
    if (separator)
        accumulated[acc_len++] = '\\';
    std::memcpy(accumulated + acc_len, level, level_len);
    acc_len += level_len;
    accumulated[acc_len] = 0;

    // A bare drive name is entered as the drive's root.
    char entered[kFieldSize + 1];
    std::memcpy(entered, accumulated, acc_len + 1);
    if (acc_len == 2 && accumulated[1] == ':')
        std::strcpy(entered + 2, "\\");
    // A drive that is not there cannot be made; a level is made in the
    // level entered before.
    bool drive_root = std::strlen(entered) == 3 && entered[1] == ':' && entered[2] == '\\';
    char name[kFieldSize];
    copy_text(name, sizeof name, level, level_len);
    return drive_root ? SetCurrentDirectoryA(entered) != 0 : enter_or_make(entered, name);
}

int check_destination(const char* path)
{
    std::size_t len = std::strlen(path);
    PathRoot root = path_root(path, len);
    // A network path's file needs a folder below its share; a device or
    // long-path form is no folder of the user's to walk into.
    if (len == 0 || root.kind == RootKind::unusable || (root.kind == RootKind::share && root.length == len))
        return 1;
    if (enter_whole_folder(path, root))
        return 0;
    char accumulated[kFieldSize] = {};
    std::size_t acc_len = 0;
    std::size_t level_start = 0;
    if (root.kind == RootKind::share) {
        if (!enter_share_root(path, root, accumulated))
            return 1;
        acc_len = root.length;
        level_start = root.length + 1;
    }
    for (std::size_t i = next_separator(path, len, level_start); i < len; i = next_separator(path, len, i + 1)) {
        if (!enter_level(accumulated, acc_len, path + level_start, i - level_start))
            return 1;
        level_start = i + 1;
    }
    return 0;
}

bool backup_folder_writable(const char* folder)
{
    char probe[kFieldSize];
    if (!join_path(probe, folder, "~qsv$.probe"))
        return true;  // nothing to tell: the copy's own error stands
    HANDLE h = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return true;
    }
    DWORD error = GetLastError();
    return error != ERROR_ACCESS_DENIED && error != ERROR_WRITE_PROTECT;
}
