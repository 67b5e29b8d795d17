// The listing a continuous run makes of each backup folder it enters, and
// what it says of a backup's name.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/fnv1a.h"
#include "base/handle_win.h"
#include "engine/backup_names.h"

namespace {

// Names as Windows matches them in ASCII, so that "A.TXT" and "a.txt" are one;
// other letters are taken as they are, which at worst says "listed" of a
// name that is not there and costs the question it would have cost anyway.
std::uint64_t name_hash(const char* name)
{
    std::uint64_t hash = kFnv1aStart;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p)
        hash = fnv1a(hash, *p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    return hash;
}

}  // namespace

void BackupNames::forget()
{
    folder_[0] = 0;
    hashes_.clear();
}

void BackupNames::list(const char* folder)
{
    forget();
    char pattern[kFieldSize];
    if (!join_path(pattern, folder, "*"))
        return;
    WIN32_FIND_DATAA data;
    ScopedFind find(FindFirstFileA(pattern, &data));
    if (!find.valid())
        return;
    do {
        if (hashes_.size() == kMaxNames) {
            hashes_.clear();
            return;
        }
        hashes_.push_back(name_hash(data.cFileName));
    } while (FindNextFileA(find.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        hashes_.clear();
        return;
    }
    std::sort(hashes_.begin(), hashes_.end());
    copy_field(folder_, folder);  // fits: the pattern held it and more
}

BackupHint BackupNames::hint(const char* folder, const char* name) const
{
    if (folder_[0] == 0 || std::strcmp(folder, folder_) != 0)
        return BackupHint::unknown;
    return std::binary_search(hashes_.begin(), hashes_.end(), name_hash(name)) ? BackupHint::listed
                                                                               : BackupHint::unlisted;
}

