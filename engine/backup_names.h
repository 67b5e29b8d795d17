// The names of the backup folder a continuous run last checked, and what
// they say of a backup's name (backup_names_win.cpp).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/text.h"

// What the listing of a backup folder, taken when the run last checked the
// folder, says of a backup's name.
enum class BackupHint {
    unknown,   // no listing: the file system is asked
    listed,    // the folder held the name (or one of the same hash)
    unlisted,  // the folder surely did not hold the name
};

// Kept so that a file whose backup is not there yet is copied in without
// first asking whether it is: under Wine, asking for a name that is not
// there reads the whole folder (names match without regard to case), about
// 50 µs in a folder of 200 files, while one listing per folder costs under
// 10 µs a name. A listing gone stale changes no outcome: the straight copy
// never moves over a name taken since, and a listed name that has gone is
// found missing when it is opened.
class BackupNames {
public:
    // Lists the folder; knows nothing of it when it cannot be searched or
    // holds more than kMaxNames names (the memory stays bounded).
    void list(const char* folder);
    void forget();
    BackupHint hint(const char* folder, const char* name) const;

    static constexpr std::size_t kMaxNames = 100000;

private:
    char folder_[kFieldSize] = {};  // empty: nothing known
    std::vector<std::uint64_t> hashes_;  // sorted
};
