#include "base/safe_replace.h"

#include <windows.h>

#include "base/handle_win.h"
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

namespace {

// The rename of an open temporary file: the move MoveFileExA makes, on the
// handle it would open (the same access and sharing), without its question
// whether the file is a folder. Under Wine that question is one more round
// trip to the wineserver, a tenth of a fresh small backup's calls.
bool rename_open_file(const char* temp, const char* path, bool replace_existing)
{
    // The record ends in the new name: room for a path of 259 bytes, each a
    // character at most.
    alignas(FILE_RENAME_INFO) unsigned char record[sizeof(FILE_RENAME_INFO) + kFieldSize * sizeof(WCHAR)] = {};
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(record);
    // A name that does not convert fails with the conversion's error rather
    // than move the file to a name with "?" in it.
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, info->FileName, kFieldSize);
    if (length == 0)
        return false;
    if (length == 1) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    info->ReplaceIfExists = replace_existing ? TRUE : FALSE;
    info->FileNameLength = static_cast<DWORD>(length - 1) * sizeof(WCHAR);
    ScopedHandle file(CreateFileA(temp, DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    return file.valid() && SetFileInformationByHandle(file.get(), FileRenameInfo, record, sizeof record) != 0;
}

}  // namespace

bool move_temp_over(const char* temp, const char* path, ReplaceOptions options)
{
    if (!options.write_through)
        return rename_open_file(temp, path, options.replace_existing);
    DWORD flags = MOVEFILE_WRITE_THROUGH | (options.replace_existing ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExA(temp, path, flags) != 0;
}

void remove_temp(const char* temp)
{
    DWORD error = GetLastError();
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temp);
    SetLastError(error);
}
