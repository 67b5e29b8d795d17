// Removing old versions: those past their days as a pass reaches their
// folder, and the oldest first when a backup needs their space.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/handle_win.h"
#include "engine/versions.h"

namespace {

bool remove_version(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}

// Calls visit(path, time) for every version in the folder (and below it
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
            visit(path, when);
        }
    } while (FindNextFileA(find.get(), &data));
    find.reset();
    for (const std::string& sub : below)
        for_each_version(sub, true, visit);
}

unsigned long long free_bytes(const char* folder)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr))
        return 0;
    return available.QuadPart;
}

}  // namespace

unsigned long long file_size_of(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int prune_versions(const char* folder, const ReportTime& now, int days)
{
    int removed = 0;
    for_each_version(folder, false, [&](const std::string& path, const ReportTime& when) {
        if (version_expired(when, now, days) && remove_version(path))
            ++removed;
    });
    return removed;
}

int free_space_from_versions(const char* versions_root, unsigned long long needed)
{
    std::vector<std::pair<long long, std::string>> versions;
    for_each_version(versions_root, true, [&](const std::string& path, const ReportTime& when) {
        versions.emplace_back(seconds_of(when), path);
    });
    std::sort(versions.begin(), versions.end());
    int removed = 0;
    for (const auto& version : versions) {
        if (free_bytes(versions_root) >= needed)
            break;
        if (remove_version(version.second))
            ++removed;
    }
    return removed;
}

int count_versions_past(const char* versions_root, const ReportTime& now, int days)
{
    int past = 0;
    for_each_version(versions_root, true, [&](const std::string&, const ReportTime& when) {
        if (version_expired(when, now, days))
            ++past;
    });
    return past;
}
