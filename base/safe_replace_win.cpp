#include "base/safe_replace.h"

#include <windows.h>

#include "base/text.h"

// Makes every missing folder of a file path below its root.
void make_folders_of(const char* path)
{
    std::size_t end = folder_part_length(path);
    PathRoot root = path_root(path);
    std::size_t start = root.kind == RootKind::drive || root.kind == RootKind::share ? root.length + 1 : 1;
    char prefix[kFieldSize];
    for (std::size_t i = next_separator(path, end, start); i < end; i = next_separator(path, end, i + 1))
        if (copy_text(prefix, sizeof prefix, path, i))
            CreateDirectoryA(prefix, nullptr);
}

bool move_temp_over(const char* temp, const char* path, ReplaceOptions options)
{
    DWORD flags = (options.replace_existing ? MOVEFILE_REPLACE_EXISTING : 0) |
                  (options.write_through ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExA(temp, path, flags) != 0;
}

void remove_temp(const char* temp)
{
    DWORD error = GetLastError();
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temp);
    SetLastError(error);
}
