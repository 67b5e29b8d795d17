// The run position (ProgressState) and the five run flags, shared by the
// worker and the user-interface thread without a lock: every field is an
// atomic, so there is no data race, and each has one writer at a time.
#pragma once
#include <atomic>
#include <cstdint>

struct ProgressState {
    std::atomic<std::int32_t> fmove_point{0};
    std::atomic<std::int32_t> dmove_point{0};  // kept in set.ini only
    std::atomic<std::int32_t> folder_max{0};
    std::atomic<std::int32_t> folder_count{0};
    std::atomic<std::int32_t> folder_search_flag{0};
    std::atomic<std::int32_t> file_max{0};
    std::atomic<std::int32_t> file_count{0};
    std::atomic<std::int32_t> file_search_flag{0};
    // Failed tries in a row of the file at the position (kept with it, so a
    // restart or a new start of the program is one more try, not a first).
    std::atomic<std::int32_t> try_count{0};
    // Files and folders of the entry at the position that this pass did not
    // back up, for the row's file status when the entry ends.
    std::atomic<std::int32_t> miss_count{0};
};

struct RunFlags {
    std::atomic<int> running{0};        // a run is active
    std::atomic<int> run_mode{0};       // 0 standby, 1 continuous
    std::atomic<int> list_finished{0};  // the position passed the last row
    std::atomic<int> error_pending{0};  // a copy failed and rw_error_mode != 0
    std::atomic<int> paused{0};         // stopped by an error, restart armed
};

// A run has started and no stop has come since. running only ever holds 0
// or 1, so every test of it is this one.
inline bool run_active(const RunFlags& flags)
{
    return flags.running.load() != 0;
}
