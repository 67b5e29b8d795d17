// The copies and the destination check on real files: up-to-date decisions,
// sources held open, read-only and held destinations, and the temporary file
// that keeps the old destination whole when a copy fails or is stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/handle_win.h"
#include "engine/backup_folder.h"
#include "engine/copy_continuous.h"
#include "engine/copy_rules.h"
#include "engine/copy_standby.h"
#include "engine/engine.h"
#include "engine/seams.h"
#include "engine/settings_table.h"
#include "tests/wine/support.h"

namespace {

constexpr unsigned long long kOld = 132000000000000000ull;  // 2019
constexpr unsigned long long kNew = kOld + 10000000ull * 3600;

struct Times {
    unsigned long long created, accessed, written;
};

FILETIME to_filetime(unsigned long long t)
{
    FILETIME f;
    f.dwLowDateTime = static_cast<DWORD>(t);
    f.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return f;
}

unsigned long long from_filetime(const FILETIME& f)
{
    return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

void set_times(const std::string& path, const Times& t)
{
    ScopedHandle h(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(h.valid()) << path;
    FILETIME c = to_filetime(t.created), a = to_filetime(t.accessed), w = to_filetime(t.written);
    ASSERT_TRUE(SetFileTime(h.get(), &c, &a, &w));
}

Times get_times(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA d{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d);
    return {from_filetime(d.ftCreationTime), from_filetime(d.ftLastAccessTime), from_filetime(d.ftLastWriteTime)};
}

void make_file(const std::string& path, const std::string& bytes, unsigned long long written)
{
    write_file(path, bytes);
    set_file_times(path, written);
}

bool read_only(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

// What the last copy a test made did beyond its result.
CopyDetail last_detail;

// A copy of the two paths, forced or not, as the request of a step makes it
// without keeping versions.
int request_copy(CopyOutcome (*copy)(Engine&, const CopyRequest&), Engine& engine, const char* source,
                 const char* destination, int force, BackupHint hint = BackupHint::unknown)
{
    CopyRequest request;
    request.source = source;
    request.destination = destination;
    request.force = force;
    request.hint = hint;
    CopyOutcome out = copy(engine, request);
    last_detail = out.detail;
    return out.result;
}
int standby_copy(Engine& engine, const char* source, const char* destination, int force)
{
    return request_copy(copy_standby, engine, source, destination, force);
}
int continuous_copy(Engine& engine, const char* source, const char* destination, int overwrite)
{
    return request_copy(copy_continuous, engine, source, destination, overwrite);
}

// An engine as a standby run leaves it: running, no pauses unless a test
// sets them.
struct CopyTest : ::testing::Test {
    SeamsReset seams;
    TempDir dir;
    Engine engine;
    std::string src = dir / "ソース.txt";
    std::string dst = dir / "表\\ソ.txt";
    std::string temp = dir / "表\\~qsv$.tmp";
    std::vector<std::string> events;  // what the copy told the probe, in order

    void SetUp() override
    {
        reset_settings(engine.settings, engine.progress);
        engine.settings.data_time = 0;
        engine.flags.running = 1;
        make_folder(dir / "表");
        CopyProbe& probe = engine_seams().copy_probe;
        probe.before_write = [this](int i) { events.push_back("w" + std::to_string(i)); return true; };
        probe.before_pause = [this](int i) { events.push_back("p" + std::to_string(i)); };
    }
    int standby(int force = 0) { return standby_copy(engine, src.c_str(), dst.c_str(), force); }
    int continuous(int overwrite = 0) { return continuous_copy(engine, src.c_str(), dst.c_str(), overwrite); }
};

using CopyFn = int (*)(Engine&, const char*, const char*, int);

// The continuous copy told the opposite of what is there, as a listing of
// the folder gone stale would tell it: the outcome must be the same.
int continuous_told_unlisted(Engine& engine, const char* source, const char* destination, int overwrite)
{
    return request_copy(copy_continuous, engine, source, destination, overwrite, BackupHint::unlisted);
}
int continuous_told_listed(Engine& engine, const char* source, const char* destination, int overwrite)
{
    return request_copy(copy_continuous, engine, source, destination, overwrite, BackupHint::listed);
}

struct UpToDateCase {
    const char* what;
    CopyFn copy;
    int force;
    const char* dst_bytes;  // nullptr: no destination
    unsigned long long src_time, dst_time;
    bool copied;
};

}  // namespace

TEST_F(CopyTest, DecidesWhetherTheDestinationIsUpToDate)
{
    const UpToDateCase cases[] = {
        {"standby, no destination", standby_copy, 0, nullptr, kOld, 0, true},
        {"standby, same size and time", standby_copy, 0, "DEST", kOld, kOld, false},
        {"standby, same size and time, forced", standby_copy, 1, "DEST", kOld, kOld, true},
        {"standby, newer destination of another size", standby_copy, 0, "DESTINATION", kOld, kNew, true},
        {"standby, newer destination of the same size", standby_copy, 0, "DEST", kOld, kNew, false},
        {"standby, newer source of the same size", standby_copy, 0, "DEST", kNew, kOld, true},
        {"continuous, no destination", continuous_copy, 0, nullptr, kOld, 0, true},
        {"continuous, same time", continuous_copy, 0, "DEST", kOld, kOld, false},
        {"continuous, same time, overwrite", continuous_copy, 1, "DEST", kOld, kOld, true},
        {"continuous, newer destination of another size", continuous_copy, 0, "DESTINATION", kOld, kNew, false},
        {"continuous, newer source of the same size", continuous_copy, 0, "DEST", kNew, kOld, true},
        {"continuous, no destination, told listed", continuous_told_listed, 0, nullptr, kOld, 0, true},
        {"continuous, same time, told unlisted", continuous_told_unlisted, 0, "DEST", kOld, kOld, false},
        {"continuous, newer destination, told unlisted", continuous_told_unlisted, 0, "DESTINATION", kOld, kNew,
         false},
        {"continuous, same time, overwrite, told unlisted", continuous_told_unlisted, 1, "DEST", kOld, kOld, true},
        {"continuous, newer source, told unlisted", continuous_told_unlisted, 0, "DEST", kNew, kOld, true},
    };
    for (const auto& c : cases) {
        make_file(src, "data", c.src_time);
        DeleteFileA(dst.c_str());
        if (c.dst_bytes)
            make_file(dst, c.dst_bytes, c.dst_time);
        EXPECT_EQ(c.copy(engine, src.c_str(), dst.c_str(), c.force), copy_done) << c.what;
        EXPECT_EQ(read_file(dst), c.copied ? "data" : c.dst_bytes) << c.what;
        EXPECT_EQ(last_write_time(dst), c.copied ? c.src_time : c.dst_time) << c.what;
        EXPECT_FALSE(file_exists(temp)) << c.what;
    }
}

TEST_F(CopyTest, CompletedStandbyCopyCarriesTheThreeTimeStamps)
{
    make_file(src, std::string(300000, 'q'), kOld);
    set_times(src, {kOld - 5000000000ull, kOld + 7000000000ull, kOld});
    // What NTFS tunnelling does to a name made again within 15 seconds: the
    // file in place gets times other than those the temporary file carried.
    engine_seams().copy_probe.after_replace = [this] { set_times(dst, {kNew, kNew, kNew}); };
    ASSERT_EQ(standby(), copy_done);
    // The times the source has once the copy has read it (reading may move
    // its access time; a Linux file system under Wine keeps no creation time
    // of its own), taken before a read of the copy moves its access time.
    const Times got = get_times(dst);
    const Times expected = get_times(src);
    EXPECT_EQ(got.created, expected.created);
    EXPECT_EQ(got.accessed, expected.accessed);
    EXPECT_EQ(got.written, kOld);
    EXPECT_EQ(read_file(dst), std::string(300000, 'q'));
    EXPECT_EQ(list_folder(dir / "表"), std::vector<std::string>{"ソ.txt"});
}

TEST_F(CopyTest, ChunksAndPausesFollowDataSize)
{
    const struct { int data_size; std::size_t bytes; const char* events; int data_size_after; } cases[] = {
        {4, 0, "", 4},                        // empty: no chunk, no pause
        {4, 8, "w0p0w1p1", 4},                // exactly two chunks
        {4, 9, "w0p0w1p1w2p2", 4},
        {0, 5, "w0p0", 131072},               // a hand-edited 0 is corrected
        {-7, 5, "w0p0", 131072},
        {2000000, 1048577, "w0p0w1p1", 1048576},  // lowered in the record
    };
    for (const auto& c : cases) {
        engine.settings.data_size = c.data_size;
        events.clear();
        std::string bytes(c.bytes, 'z');
        if (c.bytes > 0)
            bytes[c.bytes - 1] = 'E';
        make_file(src, bytes, kOld);
        DeleteFileA(dst.c_str());
        ASSERT_EQ(standby(), copy_done) << c.bytes;
        std::string seen;
        for (const auto& e : events)
            seen += e;
        EXPECT_EQ(seen, c.events) << c.data_size << " " << c.bytes;
        EXPECT_EQ(read_file(dst), bytes);
        EXPECT_EQ(engine.settings.data_size, c.data_size_after);
    }
}

TEST_F(CopyTest, StopDuringALongPauseWakesAtOnceAndKeepsTheOldDestination)
{
    engine.settings.data_size = 4;
    engine.settings.data_time = 600;  // a stop that waited this out would time the test out
    make_file(src, "0123456789AB", kNew);
    make_file(dst, "old backup", kOld);
    SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY);
    engine_seams().copy_probe.before_pause = [this](int i) {
        events.push_back("p" + std::to_string(i));
        if (i == 0)
            request_stop(engine);
    };
    DWORD start = GetTickCount();
    EXPECT_EQ(standby(), copy_stopped);
    EXPECT_LT(GetTickCount() - start, 60000u);
    // One more chunk after the stop, then the copy ends.
    EXPECT_EQ(events, (std::vector<std::string>{"w0", "p0", "w1"}));
    EXPECT_EQ(read_file(dst), "old backup");
    EXPECT_EQ(last_write_time(dst), kOld);
    EXPECT_TRUE(read_only(dst));
    EXPECT_TRUE(file_exists(temp)) << "the part copied is kept for the next standby copy";
}

namespace {

// The second standby copy after one of ソース.txt that a stop cut off
// after its third chunk of four bytes (ten in all).
struct GoOnCase {
    const char* what;
    void (*between)(CopyTest&);  // what happens before the second copy
    bool other_file;             // the second copy is of 同じ.txt, of the same length and time
    int bad_write;               // chunk of the second copy whose write fails, -1 none
    int result;
    int chunks;                  // chunks the second copy writes
};

const std::string kFirst = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
const std::string kOther = "the other file, of the very same length.";

void prepend_to_temp(CopyTest& t)
{
    write_file(t.temp, std::string(kFirst.size() + 1, 'x') + read_file(t.temp));
}

}  // namespace

TEST_F(CopyTest, StoppedStandbyCopyGoesOnOnlyForTheSameSource)
{
    const GoOnCase cases[] = {
        {"the same source", [](CopyTest&) {}, false, -1, copy_done, 7},
        {"the source rewritten, same length", [](CopyTest& t) { make_file(t.src, kOther, kNew); }, false, -1,
         copy_done, 10},
        {"the source grown, same time", [](CopyTest& t) { make_file(t.src, kFirst + "more", kOld); }, false, -1,
         copy_done, 11},
        {"another file of the same length and time", [](CopyTest&) {}, true, -1, copy_done, 10},
        {"a kept part longer than the source", prepend_to_temp, false, -1, copy_done, 10},
        {"a foreign file of that name", [](CopyTest& t) { write_file(t.temp, std::string(kKeptMarkSize + 16, 'f')); },
         false, -1, copy_done, 10},
        {"the copy going on fails to write", [](CopyTest&) {}, false, 1, copy_write_error, 2},
    };
    ASSERT_EQ(kFirst.size(), kOther.size());
    const std::string other = dir / "同じ.txt", other_dst = dir / "表\\同じ.txt";
    for (const auto& c : cases) {
        engine.settings.data_size = 4;
        engine_seams().copy_probe.before_write = nullptr;
        make_file(src, kFirst, kOld);
        make_file(other, kOther, kOld);
        DeleteFileA(dst.c_str());
        DeleteFileA(other_dst.c_str());
        engine_seams().copy_probe.before_pause = [this](int i) {
            if (i == 1)
                request_stop(engine);
        };
        ASSERT_EQ(standby(), copy_stopped) << c.what;
        ASSERT_TRUE(file_exists(temp)) << c.what;
        clear_stop(engine);
        engine.flags.running = 1;
        c.between(*this);

        int written = 0;
        engine_seams().copy_probe.before_pause = nullptr;
        engine_seams().copy_probe.before_write = [&](int i) { return ++written, i != c.bad_write; };
        const std::string& from = c.other_file ? other : src;
        const std::string& to = c.other_file ? other_dst : dst;
        EXPECT_EQ(standby_copy(engine, from.c_str(), to.c_str(), 0), c.result) << c.what;
        EXPECT_EQ(written, c.chunks) << c.what;
        if (c.result == copy_done) {
            EXPECT_EQ(read_file(to), read_file(from)) << c.what;
            EXPECT_EQ(last_write_time(to), last_write_time(from)) << c.what;
        } else {
            EXPECT_FALSE(file_exists(to)) << c.what;
        }
        EXPECT_FALSE(file_exists(temp)) << c.what;
    }
}

TEST_F(CopyTest, StopNoticedOnlyAfterAChunkAndNotAfterTheLastRead)
{
    engine.settings.data_size = 4;
    make_file(src, "01234567", kNew);
    engine.flags.running = 0;  // already stopped: the first chunk is still written
    EXPECT_EQ(standby(), copy_stopped);
    EXPECT_EQ(events, std::vector<std::string>{"w0"});
    EXPECT_FALSE(file_exists(dst));

    make_file(src, "", kNew);  // nothing to write: the stop is never looked at
    EXPECT_EQ(standby(), copy_done);
    EXPECT_EQ(read_file(dst), "");
}

TEST_F(CopyTest, FailedReadOrWriteKeepsTheOldDestinationByteForByte)
{
    const struct { const char* what; int bad_read, bad_write, result; } cases[] = {
        {"write fails on the first chunk", -1, 0, copy_write_error},
        {"write fails on the third chunk", -1, 2, copy_write_error},
        {"read fails before the end", 1, -1, copy_read_error},
        {"read fails at once", 0, -1, copy_read_error},
    };
    engine.settings.data_size = 3;
    const std::string old = std::string("old\0backup\xff", 11);
    for (const auto& c : cases) {
        make_file(src, "abcdefghijkl", kNew);
        make_file(dst, old, kOld);
        engine_seams().copy_probe.before_read = [&](int i) { return i != c.bad_read; };
        engine_seams().copy_probe.before_write = [&](int i) { return i != c.bad_write; };
        EXPECT_EQ(standby(), c.result) << c.what;
        EXPECT_EQ(read_file(dst), old) << c.what;
        EXPECT_EQ(last_write_time(dst), kOld) << c.what;
        EXPECT_FALSE(file_exists(temp)) << c.what;
    }
}

TEST_F(CopyTest, SourceHeldOpenWithoutSharingIsAReadError)
{
    make_file(src, "new", kNew);
    make_file(dst, "old", kOld);
    ScopedHandle held(CreateFileA(src.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    EXPECT_EQ(standby(), copy_read_error);
    EXPECT_EQ(continuous(), copy_read_error);
    EXPECT_EQ(read_file(dst), "old");
    // With no backup yet the continuous copy goes straight to the system
    // copy: a held source must still be "読e", with nothing made.
    DeleteFileA(dst.c_str());
    EXPECT_EQ(continuous(), copy_read_error);
    EXPECT_FALSE(file_exists(dst));
    EXPECT_FALSE(file_exists(temp));
    held.reset();
    DeleteFileA(src.c_str());
    EXPECT_EQ(standby(), copy_read_error);
    EXPECT_EQ(continuous(), copy_read_error);
}

TEST_F(CopyTest, ReadOnlyOlderDestinationIsReplacedByBothCopies)
{
    for (CopyFn copy : {standby_copy, continuous_copy, continuous_told_unlisted}) {
        make_file(src, "fresh", kNew);
        DeleteFileA(dst.c_str());
        make_file(dst, "stale!", kOld);
        SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(copy(engine, src.c_str(), dst.c_str(), 0), copy_done);
        EXPECT_EQ(read_file(dst), "fresh");
        EXPECT_FALSE(read_only(dst));
        EXPECT_FALSE(file_exists(temp));
        SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(CopyTest, DestinationHeldOpenIsNotReplacedAndLosesNothing)
{
    // The standby copy keeps its whole copy for the next try of the move.
    const struct { CopyFn copy; int result; bool keeps_temp; } cases[] = {
        {standby_copy, copy_create_error, true},       // could not be put in place: "作e"
        {continuous_copy, copy_create_error, false},   // the system copy found no destination to open
        {continuous_told_unlisted, copy_create_error, false},
    };
    for (const auto& c : cases) {
        DeleteFileA(temp.c_str());
        make_file(src, "fresh", kNew);
        make_file(dst, "kept", kOld);
        ScopedHandle held(CreateFileA(dst.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.valid());
        EXPECT_EQ(c.copy(engine, src.c_str(), dst.c_str(), 0), c.result);
        held.reset();
        EXPECT_EQ(read_file(dst), "kept");
        EXPECT_EQ(file_exists(temp), c.keeps_temp);
    }
}

// A backup another program holds open for reading only (a viewer that
// denies writers) is the same file still, and is left.
TEST_F(CopyTest, CurrentBackupHeldByAReaderIsLeft)
{
    int reads = 0;
    engine_seams().copy_probe.before_read = [&](int) { ++reads; return true; };
    for (CopyFn copy : {standby_copy, continuous_copy}) {
        make_file(src, "current", kOld);
        make_file(dst, "current", kOld);
        ScopedHandle held(CreateFileA(dst.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.valid());
        reads = 0;
        EXPECT_EQ(copy(engine, src.c_str(), dst.c_str(), 0), copy_done);
        EXPECT_FALSE(last_detail.copied);
        EXPECT_EQ(reads, 0);
        EXPECT_FALSE(file_exists(temp));
    }
}

// A standby copy whose move failed (the backup held for a moment) keeps
// its whole copy; the next try only moves it, unless the source has changed
// since: a whole copy of an older source is never put in place.
TEST_F(CopyTest, StandbyCopyWhoseMoveFailedIsMovedWithoutReadingTheSourceAgain)
{
    int reads = 0;
    engine_seams().copy_probe.before_read = [&](int) { ++reads; return true; };
    engine.settings.data_size = 4;
    const struct { const char* what; const char* changed; int reads_again; } cases[] = {
        {"source unchanged", nullptr, 0},
        {"source changed since", "changed since then", 6},
    };
    for (const auto& c : cases) {
        DeleteFileA(temp.c_str());
        make_file(src, "fresh data!", kNew);
        make_file(dst, "kept", kOld);
        reads = 0;
        {
            ScopedHandle held(CreateFileA(dst.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held.valid());
            EXPECT_EQ(standby(), copy_create_error) << c.what;
        }
        EXPECT_EQ(reads, 4) << c.what;  // three chunks and the end
        EXPECT_EQ(read_file(dst), "kept") << c.what;
        std::string expected = "fresh data!";
        if (c.changed) {
            expected = c.changed;
            make_file(src, expected, kNew + 10000000ull);
        }
        reads = 0;
        EXPECT_EQ(standby(), copy_done) << c.what;
        EXPECT_EQ(reads, c.reads_again) << c.what;
        EXPECT_TRUE(last_detail.copied) << c.what;
        EXPECT_EQ(read_file(dst), expected) << c.what;
        EXPECT_EQ(last_write_time(dst), last_write_time(src)) << c.what;
        EXPECT_EQ(list_folder(dir / "表"), std::vector<std::string>{"ソ.txt"}) << c.what;
    }
}

TEST_F(CopyTest, TemporaryFileLeftByAPowerCutIsOverwrittenAndMovedAway)
{
    for (CopyFn copy : {standby_copy, continuous_copy, continuous_told_unlisted}) {
        // What a copy cut off by a power cut leaves: part of a file, here
        // even read-only, beside the old destination.
        make_file(temp, "half a fi", kOld);
        SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_READONLY);
        make_file(dst, "old", kOld);
        make_file(src, "whole new file", kNew);
        EXPECT_EQ(copy(engine, src.c_str(), dst.c_str(), 0), copy_done);
        EXPECT_EQ(read_file(dst), "whole new file");
        EXPECT_EQ(list_folder(dir / "表"), std::vector<std::string>{"ソ.txt"});
    }
}

TEST_F(CopyTest, TemporaryPathThatWouldNotFitIsACreateError)
{
    make_file(src, "x", kNew);
    // The destination fits in 259 bytes, its folder and the temporary name do not.
    std::string folder = "C:\\" + std::string(250, 'd');
    std::string too_long = folder + "\\a";
    ASSERT_LE(too_long.size(), 259u);
    EXPECT_EQ(standby_copy(engine, src.c_str(), too_long.c_str(), 0), copy_create_error);
    EXPECT_EQ(continuous_copy(engine, src.c_str(), too_long.c_str(), 0), copy_create_error);
    std::string named_like_temp = dir / "表\\~qsv$.tmp";
    EXPECT_EQ(standby_copy(engine, src.c_str(), named_like_temp.c_str(), 0), copy_create_error);
    EXPECT_FALSE(file_exists(named_like_temp));
}

TEST_F(CopyTest, ContinuousCopyReportsAStopAfterCopyingOrDeciding)
{
    make_file(src, "abc", kNew);
    engine.flags.running = 0;
    EXPECT_EQ(continuous(), copy_stopped);  // copied, then the stop is told
    EXPECT_EQ(read_file(dst), "abc");
    EXPECT_EQ(continuous(), copy_stopped);  // up to date, the stop still told
    engine.flags.running = 1;
    EXPECT_EQ(continuous(), copy_done);
    EXPECT_EQ(last_write_time(dst), kNew);
}

namespace {

std::string current_directory()
{
    char buffer[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    return buffer;
}

char missing_drive()
{
    DWORD drives = GetLogicalDrives();
    for (char d = 'Z'; d > 'C'; --d)
        if (!(drives & (1u << (d - 'A'))))
            return d;
    return 0;
}

}  // namespace

TEST(CheckDestination, MakesMissingLevelsAndLeavesTheLastCurrent)
{
    TempDir dir;
    make_folder(dir / "a");
    write_file(dir / "a\\file", "x");
    const std::string drive = std::string(1, missing_drive()) + ":";
    ASSERT_NE(drive[0], 0);
    const std::string share = "\\\\nas\\backup\\check";
    remove_tree(share);
    const struct { std::string path; int result; std::string current; } cases[] = {
        {dir / "a\\b\\x.txt", 0, dir / "a\\b"},
        {dir / "ソ\\表\\x.txt", 0, dir / "ソ\\表"},
        {dir / "表\\\\ソ\\x.txt", 0, dir / "表\\ソ"},  // an empty level in the middle
        {dir / "a\\x.txt", 0, dir / "a"},
        {dir / "a\\file\\x.txt", 1, ""},           // a file where a folder should be
        {drive + "\\a\\x.txt", 1, ""},
        {"\\x\\y.txt", 1, ""},
        {"", 1, ""},
        {"x.txt", 0, ""},                          // no level at all
        // The suite maps the share \\nas\backup; its server and share are
        // entered as one root, the levels below it made as on a drive.
        {share + "\\ソ\\表\\x.txt", 0, share + "\\ソ\\表"},
        {share + "\\ソ\\\\a\\x.txt", 0, share + "\\ソ\\a"},
        {"\\\\nas\\backup\\x.txt", 0, ""},
        {"\\\\nas\\backup", 1, ""},              // the share itself as the file
        {"\\\\nosuch\\backup\\q\\x.txt", 1, ""},
        {"\\\\nas\\nosuch\\q\\x.txt", 1, ""},
        {"\\\\nas\\q\\x.txt", 1, ""},
        {"\\\\?\\" + (dir / "q\\x.txt"), 1, ""},
        {"\\\\.\\" + (dir / "q\\x.txt"), 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check_destination(c.path.c_str()), c.result) << c.path;
        if (!c.current.empty()) {
            EXPECT_TRUE(folder_exists(c.current)) << c.path;
            EXPECT_EQ(current_directory(), c.current) << c.path;
        }
    }
    EXPECT_FALSE(folder_exists(dir / "q")) << "a device or long-path form is not walked";
    const std::string workdir = current_directory();
    for (const std::string& place : {workdir, std::string("C:"), share})
        for (const char* made : {"nas", "nosuch", "backup", "q"})
            EXPECT_FALSE(folder_exists(place + "\\" + made)) << place << " " << made;
    SetCurrentDirectoryA(dir.path().c_str());
    remove_tree(share);
}
