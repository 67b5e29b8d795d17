// Removing old versions: those past their days as a pass reaches their
// folder, and the oldest first when a backup needs their space.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/handle_win.h"
#include "engine/tables.h"
#include "engine/versions.h"

namespace {

bool remove_version(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}

// Calls visit(path, time, size) for every version in the folder (and below it
// when deep), by names only: a user's own file there is never touched.
template <typename Visit>
void for_each_version(const std::string& folder, bool deep, Visit visit)
{
    WIN32_FIND_DATAA data;
    ScopedFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find.valid())
        return;
    std::vector<std::string> below;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = folder + "\\" + name;
        ReportTime when;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (deep)
                below.push_back(path);
        } else if (path.size() <= kMaxText && version_time(name.c_str(), when)) {
            visit(path, when, (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
    } while (FindNextFileA(find.get(), &data));
    find.reset();
    for (const std::string& sub : below)
        for_each_version(sub, true, visit);
}

bool free_bytes(const char* folder, unsigned long long& free)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr))
        return false;
    free = available.QuadPart;
    return true;
}

}  // namespace

unsigned long long file_size_of(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool source_file_exists(const char* source_folder, const char* relative, const char* name)
{
    char folder[kFieldSize];
    return append_path(folder, source_folder, relative) && is_file_in(folder, name);
}

int prune_versions(const char* folder, const ReportTime& now, int days)
{
    int removed = 0;
    for_each_version(folder, false, [&](const std::string& path, const ReportTime& when, unsigned long long) {
        if (version_expired(when, now, days) && remove_version(path))
            ++removed;
    });
    return removed;
}

namespace {

struct Version {
    long long replaced;  // seconds_of its stamp
    unsigned long long size;
    std::string path;
};

// The versions below a folder of old versions whose backups belong to the
// entry, with their sizes.
std::vector<Version> versions_belonging(const char* versions_root, const VersionOwner& belongs)
{
    std::vector<Version> versions;
    std::size_t root = std::strlen(versions_root);
    for_each_version(versions_root, true, [&](const std::string& path, const ReportTime& when,
                                              unsigned long long size) {
        std::size_t cut = path.rfind('\\');
        std::string original;
        if (!version_original(original, path.c_str() + cut + 1))
            return;
        if (belongs && !belongs(path.substr(root, cut - root).c_str(), original.c_str()))
            return;
        versions.push_back({seconds_of(when), size, path});
    });
    return versions;
}

}  // namespace

RoomMade free_space_from_versions(const char* versions_root, const char* backup_folder, unsigned long long needed,
                                  const VersionOwner& belongs)
{
    RoomMade room;
    room.free_known = free_bytes(backup_folder, room.free);
    if (!room.free_known || room.free >= needed)
        return room;
    std::vector<Version> versions = versions_belonging(versions_root, belongs);
    unsigned long long may_go = 0;
    for (const Version& v : versions)
        may_go += v.size;
    // Taking them all in vain would lose the history and still leave the
    // file without a backup.
    if (room.free + may_go < needed)
        return room;
    std::sort(versions.begin(), versions.end(),
              [](const Version& a, const Version& b) { return a.replaced < b.replaced; });
    for (const Version& version : versions) {
        if (remove_version(version.path))
            ++room.removed;
        if (!free_bytes(backup_folder, room.free))
            break;  // what the disk holds is no longer known: nothing more goes
        if (room.free >= needed)
            break;
    }
    return room;
}

int count_versions_past(const char* versions_root, const ReportTime& now, int days)
{
    int past = 0;
    for_each_version(versions_root, true, [&](const std::string&, const ReportTime& when, unsigned long long) {
        if (version_expired(when, now, days))
            ++past;
    });
    return past;
}
