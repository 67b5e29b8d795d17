// The walks over real trees: breadth-first order, dot-names, Japanese names
// whose second byte is 0x5C, paths that would pass 259 bytes, and trees and
// folders larger than the old fixed tables, up to a table's limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/handle_win.h"
#include "base/listing_win.h"
#include "base/seams.h"
#include "engine/folder_key.h"
#include "engine/report.h"
#include "engine/tables.h"
#include "tests/wine/support.h"

namespace {

void walk(FolderTable& table, MessageRecorder& recorder, const std::string& source)
{
    walk_folders(table, recorder.notifier(), source.c_str(), source.size());
}

std::map<std::string, std::string> records_of(const FolderTable& t)
{
    std::map<std::string, std::string> out;
    for (const FolderRecord& r : t.records)
        out[r.full_path] = r.relative_path;
    return out;
}

// Separators of a relative path, the second bytes of ソ and 表 not counted.
int depth(const std::string& text)
{
    const char* relative = text.c_str();
    int n = 0;
    for (std::size_t i = 0; relative[i] != 0; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(relative[i])))
            ++i;
        else
            n += relative[i] == '\\';
    }
    return n;
}

std::set<std::string> names_of(const FileTable& t)
{
    std::set<std::string> out;
    for (const FileRecord& r : t.records)
        out.insert(r.file_name);
    return out;
}

void make_empty_files(const std::string& folder, int n)
{
    for (int i = 0; i < n; ++i) {
        ScopedHandle h(CreateFileA((folder + "\\f" + std::to_string(i)).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(h.valid()) << i;
    }
}

// A folder whose path the ANSI calls cannot reach, made through the wide
// long-path form.
}  // namespace

// Dot folders (.git, .cache) are folders of the user's like any; only "."
// and ".." are not.
TEST(WalkFolders, BreadthFirstWithDotFoldersTaken)
{
    TempDir dir;
    std::string src = dir / "src";
    for (const char* f : {"a\\x\\deep", "b", "ソ\\表", "empty", ".cache\\inner", "a\\.git"})
        make_folder(src + "\\" + f);
    write_file(src + "\\a\\file.txt", "not a folder");
    FolderTable table;
    MessageRecorder recorder;
    walk(table, recorder, src);

    const std::map<std::string, std::string> expected = {
        {src, ""},
        {src + "\\a", "\\a"},
        {src + "\\b", "\\b"},
        {src + "\\ソ", "\\ソ"},
        {src + "\\empty", "\\empty"},
        {src + "\\a\\x", "\\a\\x"},
        {src + "\\ソ\\表", "\\ソ\\表"},
        {src + "\\a\\x\\deep", "\\a\\x\\deep"},
        {src + "\\.cache", "\\.cache"},
        {src + "\\.cache\\inner", "\\.cache\\inner"},
        {src + "\\a\\.git", "\\a\\.git"},
    };
    EXPECT_EQ(records_of(table), expected);
    ASSERT_EQ(table.count(), 11);
    EXPECT_EQ(table.records[0].full_path, src);
    for (int i = 1; i < table.count(); ++i)
        EXPECT_LE(depth(table.records[i - 1].relative_path), depth(table.records[i].relative_path)) << i;
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(WalkFolders, SourceTextEndingInASeparatorOrATrailByteOrOnAShare)
{
    TempDir dir;
    make_folder(dir / "ソ\\表");
    make_folder(dir / "s\\k");
    // The suite maps the share \\nas\backup.
    const std::string share = "\\\\nas\\backup\\walk-" + std::to_string(GetCurrentProcessId());
    make_folder(share + "\\ソ\\表");
    const struct { std::string source; std::map<std::string, std::string> expected; } cases[] = {
        // ソ ends in 0x5C: a separator is still added for the search.
        {dir / "ソ", {{dir / "ソ", ""}, {dir / "ソ\\表", "\\表"}}},
        // A real separator at the end gives two in a row below it.
        {dir / "s\\", {{dir / "s\\", ""}, {dir / "s\\\\k", "\\k"}}},
        // A missing folder is searched in vain: only the source itself.
        {dir / "gone", {{dir / "gone", ""}}},
        {share, {{share, ""}, {share + "\\ソ", "\\ソ"}, {share + "\\ソ\\表", "\\ソ\\表"}}},
    };
    for (const auto& c : cases) {
        FolderTable table;
        MessageRecorder recorder;
        walk(table, recorder, c.source);
        EXPECT_EQ(records_of(table), c.expected) << c.source;
        EXPECT_TRUE(recorder.messages.empty());
    }
    remove_tree(share);
}

TEST(WalkFolders, FolderWhosePathWouldPass259BytesIsToldNotCut)
{
    TempDir dir;
    std::string src = dir / "src";
    std::string longer = src + "\\" + std::string(240 - src.size(), 'L');  // 240 bytes
    make_folder(longer + "\\short");                                      // 246 bytes
    make_long_folder(longer + "\\" + std::string(25, 'T'));               // 266 bytes
    make_long_folder(longer + "\\" + std::string(30, 'U'));
    FolderTable table;
    MessageRecorder recorder;
    walk(table, recorder, src);

    EXPECT_EQ(records_of(table).count(longer + "\\short"), 1u);
    EXPECT_EQ(table.count(), 3);
    for (const FolderRecord& r : table.records)
        EXPECT_LE(r.full_path.size(), 259u);
    ASSERT_EQ(recorder.messages.size(), 1u);
    const RecordedMessage& m = recorder.messages[0];
    EXPECT_EQ(m.caption, "エラー");
    EXPECT_EQ(m.kind, MessageKind::warning);
    EXPECT_NE(m.text.find("2個"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(longer + "\\"), std::string::npos) << m.text;
}

// A tree past the old 5000 folders is walked whole without a word; only a
// tree past the table's limit stops the walk, with the warning at every walk.
TEST(WalkFolders, LargeTreeWholeAndTheWarningOnlyPastTheLimit)
{
    TempDir dir;
    std::string src = dir / "big";
    make_folder(src);
    const int subfolders = 5100;
    for (int i = 0; i < subfolders; ++i)
        ASSERT_TRUE(CreateDirectoryA((src + "\\d" + std::to_string(i)).c_str(), nullptr));
    make_folder(src + "\\d0\\deep");  // found only after every other folder was searched
    const int tree = subfolders + 2;
    const struct { int limit; int count; bool warned; } cases[] = {
        {kTableLimit, tree, false},
        {tree, tree, false},  // exactly full: nothing was left out
        {tree - 1, tree - 1, true},
    };
    for (const auto& c : cases) {
        FolderTable table;
        table.limit = c.limit;
        MessageRecorder recorder;
        walk(table, recorder, src);
        EXPECT_EQ(table.count(), c.count) << c.limit;
        EXPECT_EQ(records_of(table).size(), static_cast<std::size_t>(c.count)) << c.limit;
        EXPECT_EQ(records_of(table).count(src + "\\d0\\deep"), c.warned ? 0u : 1u) << c.limit;
        ASSERT_EQ(recorder.messages.size(), c.warned ? 1u : 0u) << c.limit;
        if (c.warned) {
            EXPECT_EQ(recorder.messages[0].text, "指定のテーブル量を超えました。");
            EXPECT_EQ(recorder.messages[0].caption, "エラー");
            EXPECT_EQ(recorder.messages[0].kind, MessageKind::warning);
            walk(table, recorder, src);  // told again at every walk
            EXPECT_EQ(recorder.messages.size(), 2u);
        }
    }
}

TEST(WalkFiles, ListsFilesOnlyWithTheirOrdinals)
{
    TempDir dir;
    std::string folder = dir / "表";
    make_folder(folder + "\\sub");
    make_folder(folder + "\\.hidden");
    for (const char* f : {"ソ.txt", "表", "plain", "no_ext", ".profile", "~qsv$.tmp", "~qsv$restore.tmp", "ro.txt"})
        write_file(folder + "\\" + f, "x");
    SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    FileTable table;
    table.records.resize(9, FileRecord{"stale", 7, 99});  // an earlier listing

    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size()));
    EXPECT_EQ(names_of(table), (std::set<std::string>{"ソ.txt", "表", "plain", "no_ext", ".profile", "ro.txt"}));
    for (int i = 0; i < table.count(); ++i) {
        EXPECT_EQ(table.records[i].first_number, i);
        EXPECT_EQ(table.records[i].second_number, 0);
    }

    std::string with_separator = folder + "\\";
    FileTable again;
    ASSERT_TRUE(walk_files(again, with_separator.c_str(), with_separator.size()));
    EXPECT_EQ(names_of(again), names_of(table));
    SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// An empty folder gives nothing; a missing one gives nothing too, and says
// it could not be searched, so that the step reports it instead of taking
// it for empty.
TEST(WalkFiles, EmptyOrMissingFolderGivesNothing)
{
    TempDir dir;
    make_folder(dir / "empty\\only_a_folder");
    for (const std::string& folder : {dir / "empty", dir / "missing"}) {
        FileTable table;
        table.records.resize(7);
        EXPECT_FALSE(walk_files(table, folder.c_str(), folder.size())) << folder;
        EXPECT_EQ(table.count(), 0) << folder;
        EXPECT_EQ(table.search_error != 0, folder == dir / "missing") << folder;
    }
}

// A folder past the old 5000 files is listed whole; one past the table's
// limit is listed again from the next ordinal for the rest.
TEST(WalkFiles, FolderPastTheLimitIsWalkedAgainForTheRest)
{
    TempDir dir;
    std::string folder = dir / "many";
    make_folder(folder);
    make_empty_files(folder, 5001);
    FileTable table;
    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size()));
    EXPECT_EQ(table.count(), 5001);

    table.limit = 5000;
    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size()));
    ASSERT_EQ(table.count(), 5000);
    std::set<std::string> seen = names_of(table);
    int next = table.records.back().first_number + 1;
    EXPECT_EQ(next, 5000);

    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size(), next));
    ASSERT_EQ(table.count(), 1);
    EXPECT_EQ(table.records[0].first_number, 5000);
    EXPECT_TRUE(seen.insert(table.records[0].file_name).second);
    EXPECT_EQ(seen.size(), 5001u);

    EXPECT_FALSE(walk_files(table, folder.c_str(), folder.size(), 5001));
    EXPECT_EQ(table.count(), 0);
}

// A folder the system folder browser gives as C:\...\José: its ANSI form
// C:\...\Jose names another folder or none, so it is taken by its short
// path, or refused when the volume keeps no short names.
TEST(AnsiPath, FolderTheCodePageCannotHoldIsTakenByItsShortPath)
{
    TempDir dir;
    make_folder(dir / "Jose");  // the folder a best-fit path would name
    wchar_t wide_dir[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, dir.path().c_str(), -1, wide_dir, MAX_PATH);
    std::wstring jose = std::wstring(wide_dir) + L"\\Jos\u00e9";
    ASSERT_TRUE(CreateDirectoryW(jose.c_str(), nullptr));
    write_file(dir / "Jose\\other.txt", "another folder");
    HANDLE mine = CreateFileW((jose + L"\\mine.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(mine, INVALID_HANDLE_VALUE);
    CloseHandle(mine);

    char out[kFieldSize];
    ASSERT_TRUE(ansi_path_of(jose.c_str(), out));
    EXPECT_TRUE(file_exists(std::string(out) + "\\mine.txt")) << out;
    EXPECT_FALSE(file_exists(std::string(out) + "\\other.txt")) << out;
    ASSERT_TRUE(ansi_path_of(wide_dir, out));
    EXPECT_EQ(std::string(out), dir.path()) << "a path the code page holds stays as it is";

    SeamsReset seams;
    base_seams().hide_short_names = true;
    bool taken = ansi_path_of(jose.c_str(), out);
    base_seams().hide_short_names = false;
    EXPECT_FALSE(taken);
    EXPECT_STREQ(out, "");
}

namespace {

// What a walk with a backup folder to leave out gave: the relative paths it
// recorded and the reasons of what it left out.
struct LeftOutWalk {
    std::set<std::string> relative;
    std::vector<Failure> left_out;
};

LeftOutWalk walk_leaving_out(const std::string& source, const std::string& backup)
{
    FolderTable table;
    MessageRecorder recorder;
    LeftOutWalk out;
    walk_folders(table, recorder.notifier(), source.c_str(), source.size(), nullptr,
                 [&out](const char*, const Failure& why) { out.left_out.push_back(why); }, backup.c_str());
    for (const FolderRecord& r : table.records)
        out.relative.insert(r.relative_path);
    return out;
}

std::string short_path_of(const std::string& path)
{
    char out[kFieldSize];
    DWORD n = GetShortPathNameA(path.c_str(), out, kFieldSize);
    return n == 0 || n >= kFieldSize ? "" : out;
}

bool only_backup_inside(const std::vector<Failure>& left_out)
{
    return left_out.size() == 1 && left_out[0].reason == ReportReason::backup_inside;
}

}  // namespace

// A backup folder inside its source is left out however either is written:
// a drive root as the folder browser gives it or without its separator, a
// trailing separator after 書 (8F 91, whose 0x91 is a lead byte), "." and
// "..", and ASCII case. A folder of the same name elsewhere stays.
TEST(WalkFolders, BackupFolderInsideADriveRootIsLeftOutHoweverWritten)
{
    MappedDrive drive('r');
    if (!drive.mapped())
        GTEST_SKIP() << "no drive letter could be mapped in the prefix's dosdevices";
    const std::string r = drive.root();
    for (const char* f : {"Backup\\old", "data\\Backup", "文書\\x"})
        make_folder(r + f);
    const std::set<std::string> without_backup = {"", "\\data", "\\data\\Backup", "\\文書", "\\文書\\x"};
    const std::set<std::string> without_bunsho = {"", "\\Backup", "\\Backup\\old", "\\data", "\\data\\Backup"};
    const struct { std::string source, backup; const std::set<std::string>& expected; } cases[] = {
        {r, r + "Backup", without_backup},
        {"R:", "R:\\Backup", without_backup},
        {r, "r:\\BACKUP\\", without_backup},
        {r, "R:\\\\Backup", without_backup},
        {r, r + "文書\\", without_bunsho},
        {r, r + "文書", without_bunsho},
        {r + "data\\..", r + "Backup", without_backup},
        {r + ".\\", r + "data\\..\\Backup", without_backup},
        {r + "文書\\..", r + "data\\.\\..\\Backup\\.", without_backup},
    };
    for (const auto& c : cases) {
        LeftOutWalk walked = walk_leaving_out(c.source, c.backup);
        EXPECT_EQ(walked.relative, c.expected) << c.source << " | " << c.backup;
        EXPECT_TRUE(only_backup_inside(walked.left_out)) << c.source << " | " << c.backup;
    }
    // Near names leave nothing out.
    for (const std::string& other : {r + "Backu", r + "Backup2", r + "data\\x\\..\\..\\data\\Backup2", std::string("S:\\Backup")}) {
        LeftOutWalk walked = walk_leaving_out(r, other);
        EXPECT_EQ(walked.relative.size(), 7u) << other;
        EXPECT_TRUE(walked.left_out.empty()) << other;
    }
}

// A share's root as the source, a folder on it as the backup folder; and a
// backup folder or a source written by its short (8.3) name.
TEST(WalkFolders, BackupFolderOnAShareOrByItsShortNameIsLeftOut)
{
    // The suite maps the share \\nas\backup; other tests use it too, so only
    // this test's folders are looked at.
    const std::string mine = "qs-walk-" + std::to_string(GetCurrentProcessId());
    const std::string share = "\\\\nas\\backup";
    make_folder(share + "\\" + mine + "\\old");
    make_folder(share + "\\" + mine + "-kept");
    for (const std::string& backup : {share + "\\" + mine, "\\\\NAS\\Backup\\" + mine + "\\"}) {
        LeftOutWalk walked = walk_leaving_out(share, backup);
        EXPECT_EQ(walked.relative.count("\\" + mine), 0u) << backup;
        EXPECT_EQ(walked.relative.count("\\" + mine + "\\old"), 0u) << backup;
        EXPECT_EQ(walked.relative.count("\\" + mine + "-kept"), 1u) << backup;
        EXPECT_EQ(std::count_if(walked.left_out.begin(), walked.left_out.end(),
                                [](const Failure& f) { return f.reason == ReportReason::backup_inside; }),
                  1)
            << backup;
    }
    remove_tree(share + "\\" + mine);
    remove_tree(share + "\\" + mine + "-kept");

    TempDir dir;
    const std::string source = dir / "Source folder";
    make_folder(source + "\\Backup folder\\old");
    make_folder(source + "\\data");
    const std::string short_backup = short_path_of(source + "\\Backup folder");
    const std::string short_source = short_path_of(source);
    ASSERT_NE(short_backup, "");
    ASSERT_NE(short_backup, source + "\\Backup folder") << "Wine gives short names";
    const struct { std::string source, backup; } cases[] = {
        {source, short_backup},
        {short_source, source + "\\Backup folder"},
        {short_source, short_backup},
        {short_source + "\\..\\Source folder", short_backup + "\\"},
    };
    for (const auto& c : cases) {
        LeftOutWalk walked = walk_leaving_out(c.source, c.backup);
        EXPECT_EQ(walked.relative, (std::set<std::string>{"", "\\data"})) << c.source << " | " << c.backup;
        EXPECT_TRUE(only_backup_inside(walked.left_out)) << c.source << " | " << c.backup;
    }
}

// A listing that an error ends part-way (a share's hiccup) is never taken
// as complete: the files' walk says it could not search the folder, the
// folders' walk tells the folder whose subfolders it could not all list.
TEST(WalkFiles, ListingEndedByAnErrorIsNoWholeListing)
{
    TempDir dir;
    std::string folder = dir / "src";
    for (const char* f : {"a", "b", "c", "d"})
        make_folder(folder + "\\" + f);
    make_empty_files(folder, 5);
    const struct { int fail_after; DWORD code; bool cut; } cases[] = {
        {3, ERROR_NETNAME_DELETED, true},
        {1, ERROR_UNEXP_NET_ERR, true},
        {100, ERROR_NETNAME_DELETED, false},  // past the folder's end: it ends as it should
    };
    for (const auto& c : cases) {
        FailingListings failing(c.fail_after, c.code);
        const DWORD error = c.cut ? c.code : 0;
        FileTable files;
        bool listed = walk_files(files, folder.c_str(), folder.size());
        EXPECT_EQ(listed, !c.cut) << c.fail_after;
        EXPECT_EQ(files.search_error, error) << c.fail_after;
        EXPECT_EQ(files.count(), c.cut ? 0 : 5) << c.fail_after;

        FolderTable folders;
        MessageRecorder recorder;
        std::vector<std::pair<std::string, Failure>> left_out;
        walk_folders(folders, recorder.notifier(), folder.c_str(), folder.size(), nullptr,
                     [&left_out](const char* path, const Failure& why) { left_out.emplace_back(path, why); });
        if (!c.cut) {
            EXPECT_EQ(folders.count(), 5) << c.fail_after;
            EXPECT_TRUE(left_out.empty()) << c.fail_after;
            continue;
        }
        EXPECT_LT(folders.count(), 5) << c.fail_after;
        ASSERT_EQ(left_out.size(), 1u) << c.fail_after;
        EXPECT_EQ(left_out[0].first, folder);
        EXPECT_EQ(left_out[0].second.reason, ReportReason::listing_cut);
        EXPECT_EQ(left_out[0].second.code, error);
    }
}

namespace {

struct RulesWalk {
    std::set<std::string> relative;
    std::map<std::string, Failure> left_out;  // by path
};

RulesWalk walk_with_rules(const std::string& source, const WalkRules* rules)
{
    FolderTable table;
    MessageRecorder recorder;
    RulesWalk out;
    walk_folders(
        table, recorder.notifier(), source.c_str(), source.size(), nullptr,
        [&out](const char* path, const Failure& why) { out.left_out[path] = why; }, nullptr, rules);
    for (const FolderRecord& r : table.records)
        out.relative.insert(r.relative_path);
    return out;
}

// Listed items whose name holds a text get attributes as a cloud client's
// placeholders have them on Windows; off again at the end.
struct MarkedItems : SeamsReset {
    MarkedItems(const wchar_t* name_part, DWORD attributes, DWORD tag)
    {
        base_seams().marks = {name_part, attributes, tag};
    }
};

}  // namespace

// A link back to the tree's own parent would make the walk endless, one to
// another tree would back that tree up under the entry: neither is walked,
// each is told once with where it leads, and a file link is a file.
TEST(WalkFolders, FolderLinksAreToldWithTheirTargetAndNeverWalked)
{
    TempDir dir;
    std::string source = dir / "src", other = dir / "other";
    make_folder(source + "\\a\\b");
    make_folder(other + "\\deep");
    write_file(source + "\\plain.txt", "p");
    ASSERT_TRUE(make_host_link(source + "\\a\\loop", "../.."));
    ASSERT_TRUE(make_host_link(source + "\\out", other));
    ASSERT_TRUE(make_host_link(source + "\\file-link.txt", "plain.txt"));

    RulesWalk walked = walk_with_rules(source, nullptr);
    EXPECT_EQ(walked.relative, (std::set<std::string>{"", "\\a", "\\a\\b"}));
    ASSERT_EQ(walked.left_out.size(), 2u);
    for (const auto& [path, why] : walked.left_out)
        EXPECT_EQ(why.reason, ReportReason::folder_link) << path;
    EXPECT_EQ(folder_key(walked.left_out[source + "\\out"].detail.c_str()), folder_key(other.c_str()));
    EXPECT_EQ(folder_key(walked.left_out[source + "\\a\\loop"].detail.c_str()), folder_key(dir.path().c_str()));

    FileTable files;
    walk_files(files, source.c_str(), source.size());
    EXPECT_EQ(names_of(files), (std::set<std::string>{"file-link.txt", "plain.txt"}));
}

// A folder with a reparse point that is no link (a cloud client's own
// folder) holds the user's files and is walked; its files that are only in
// the cloud are counted, never taken, and keep their ordinals.
TEST(WalkFiles, CloudOnlyFilesAreCountedAndNotTaken)
{
    TempDir dir;
    std::string source = dir / "src";
    make_folder(source + "\\cloud-folder");
    make_folder(source + "\\linked");
    for (const char* name : {"a.txt", "b-cloud.txt", "c.txt", "d-cloud.txt"})
        write_file(source + "\\cloud-folder\\" + name, name);
    {
        MarkedItems cloud_folder(L"cloud-folder", FILE_ATTRIBUTE_REPARSE_POINT, 0x9000301A);
        EXPECT_EQ(walk_with_rules(source, nullptr).relative, (std::set<std::string>{"", "\\cloud-folder", "\\linked"}));
    }
    {
        MarkedItems junction(L"linked", FILE_ATTRIBUTE_REPARSE_POINT, 0xA0000003);
        EXPECT_EQ(walk_with_rules(source, nullptr).relative, (std::set<std::string>{"", "\\cloud-folder"}));
    }
    for (DWORD attribute : {0x400000ul /* recall on data access */, 0x40000ul /* recall on open */,
                            static_cast<unsigned long>(FILE_ATTRIBUTE_OFFLINE)}) {
        MarkedItems cloud(L"-cloud", attribute, 0);
        FileTable files;
        std::string folder = source + "\\cloud-folder";
        walk_files(files, folder.c_str(), folder.size());
        EXPECT_EQ(names_of(files), (std::set<std::string>{"a.txt", "c.txt"})) << attribute;
        EXPECT_EQ(files.notes.cloud_only, 2) << attribute;
        int ordinals = 0;
        for (const FileRecord& r : files.records)
            ordinals += r.first_number;
        EXPECT_EQ(ordinals, 0 + 2) << "a.txt and c.txt keep the ordinals of the whole listing";
    }
}

// The user's patterns leave out in silence, Windows' lists with a note; a
// folder either leaves out is not walked.
TEST(WalkFiles, PatternsAndWindowsListsLeaveOut)
{
    TempDir dir;
    std::string source = dir / "src";
    for (const char* folder : {"node_modules\\pkg", "docs", "docs\\build", "cache\\x", "keep"})
        make_folder(source + "\\" + folder);
    for (const char* file : {"Thumbs.db", "~$report.docx", "report.docx", "hive.dat", "hive.dat.LOG1", "a.obj"})
        write_file(source + "\\" + file, file);
    write_file(source + "\\docs\\build\\b.obj", "b");

    WalkRules rules;
    rules.patterns = NamePatterns("Thumbs.db;~$*;node_modules;docs\\build;\\*.obj");
    SystemExclusion cache;
    ASSERT_TRUE(parse_system_exclusion((source + "\\cache\\* /s").c_str(), cache));
    rules.system.push_back(cache);
    add_hive_exclusions((source + "\\hive.dat").c_str(), rules.system);

    RulesWalk walked = walk_with_rules(source, &rules);
    EXPECT_EQ(walked.relative, (std::set<std::string>{"", "\\docs", "\\keep"}));
    ASSERT_EQ(walked.left_out.size(), 1u);
    EXPECT_EQ(walked.left_out.begin()->first, source + "\\cache");
    EXPECT_EQ(walked.left_out.begin()->second.reason, ReportReason::system_excluded);

    FileTable files;
    walk_files(files, source.c_str(), source.size(), 0, &rules, "");
    EXPECT_EQ(names_of(files), (std::set<std::string>{"report.docx"}));
    std::set<std::string> noted(files.notes.system_left_out.begin(), files.notes.system_left_out.end());
    EXPECT_EQ(noted, (std::set<std::string>{"hive.dat", "hive.dat.LOG1"}));
}
