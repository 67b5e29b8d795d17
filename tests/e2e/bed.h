// The working folders and runs the end-to-end tests of faults and of the
// report share: a source and a backup folder beside the program's files,
// runs started and watched through the window, and commands on the host
// (a tmpfs mounted as a backup drive).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "engine/versions.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

// 1970: an old backup the source is newer than.
constexpr unsigned long long kLongAgo = 116444736000000000ull;

// A version's name dated `days` ago, as a pass would have named it.
inline std::string dated(const std::string& stem, int days, const std::string& extension)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME f;
    SystemTimeToFileTime(&now, &f);
    ULARGE_INTEGER t;
    t.LowPart = f.dwLowDateTime;
    t.HighPart = f.dwHighDateTime;
    t.QuadPart -= static_cast<unsigned long long>(days) * 86400ull * 10000000ull;
    f.dwLowDateTime = t.LowPart;
    f.dwHighDateTime = t.HighPart;
    SYSTEMTIME then;
    FileTimeToSystemTime(&f, &then);
    std::string name;
    version_name(name, (stem + extension).c_str(),
                 ReportTime{then.wYear, then.wMonth, then.wDay, then.wHour, then.wMinute, then.wSecond}, 259);
    return name;
}

// The texts column 3 of a row shows until the run under way has stopped,
// each change once. A standby step stands at least a second, so polling
// sees each.
inline std::vector<std::string> watch_until_stopped(HWND main, int row)
{
    std::vector<std::string> seen;
    wait_until(
        [&] {
            std::string text = list_cell(main, row, 3);
            if (seen.empty() || seen.back() != text)
                seen.push_back(text);
            return status_text(main, 3) == "停止中";
        },
        120000);
    return seen;
}

// Posts a start command, then watches the run as above.
inline std::vector<std::string> run_and_watch(HWND main, int start_command, int row)
{
    std::string before = list_cell(main, row, 3);
    post_command(main, start_command);
    // A run that fails at once may stop again before a poll sees it going.
    if (!wait_until([&] { return status_text(main, 3) != "停止中" || list_cell(main, row, 3) != before; },
                    kWindowWait))
        return {"<the run did not start>"};
    return watch_until_stopped(main, row);
}

inline bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A schedule that is never due (February 31st), so that the end of the
// list stops a standby run.
inline std::vector<std::pair<std::string, std::string>> run_settings(
    std::vector<std::pair<std::string, std::string>> more = {})
{
    std::vector<std::pair<std::string, std::string>> values = {
        {"set_t_mode", "1"}, {"set_t_mon", "1"}, {"set_t_mday", "31"},
        {"start_time", "1"}, {"data_time", "1"}, {"rw_error_mode", "0"}};
    values.insert(values.end(), more.begin(), more.end());
    return values;
}

// A working folder with a source folder "元" and a backup folder, by
// default "先" beside it.
struct Bed {
    TempDir dir;
    std::string source = dir / "元";
    std::string backup;

    explicit Bed(const std::string& backup_folder = "") : backup(backup_folder.empty() ? dir / "先" : backup_folder)
    {
        make_folder(source);
        make_folder(backup);
    }
    // A source file (relative: ASCII folder names) and, unless old is
    // empty, an older backup of it that a run must replace.
    void file(const std::string& relative, const std::string& bytes, const std::string& old = "") const
    {
        std::size_t cut = last_separator(relative.c_str(), relative.size());
        if (cut < relative.size()) {
            make_folder(source + "\\" + relative.substr(0, cut));
            make_folder(backup + "\\" + relative.substr(0, cut));
        }
        write_file(source + "\\" + relative, bytes);
        if (old.empty())
            return;
        write_file(backup + "\\" + relative, old);
        set_file_times(backup + "\\" + relative, kLongAgo);
    }
    void program_files(const std::string& list, const std::vector<std::pair<std::string, std::string>>& more = {}) const
    {
        write_file(dir / "quillsave.ini", list);
        write_file(dir / "set.ini", settings_file(run_settings(more)));
    }
};

constexpr int kStandby = 111;
constexpr int kContinuous = 37827;

struct RunKind {
    const char* name;
    int command;
};
inline const RunKind kRunKinds[] = {{"Standby", kStandby}, {"Continuous", kContinuous}};

inline void PrintTo(const RunKind& kind, std::ostream* out)
{
    *out << kind.name;
}

// A tmpfs mounted on a folder of the host for one test, unmounted again at
// its end if the test has not done so. Mounting needs root.
class HostMount {
public:
    explicit HostMount(const std::string& folder) : folder_(folder)
    {
        mounted_ = run_on_host("mkdir -p '" + folder_ + "' && mount -t tmpfs -o size=4m quillsave-backup-disk '" +
                               folder_ + "'") == 0;
    }
    ~HostMount() { run_on_host("if mountpoint -q '" + folder_ + "'; then umount '" + folder_ + "'; fi"); }
    HostMount(const HostMount&) = delete;
    HostMount& operator=(const HostMount&) = delete;
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_;
};
