// The watch of a standby run's sources on real folders: which changes it
// brings forward, and which it leaves to the pass (the program's own writes,
// names the user's patterns leave out, other files than a single-file
// entry's), and that a change comes only once it has been quiet.
#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "base/handle_win.h"
#include "engine/engine.h"
#include "engine/watch_win.h"
#include "tests/wine/support.h"

namespace {

void add_row(Engine& engine, const char* name, const std::string& source, const std::string& destination)
{
    int row = list_insert_row(engine.list, list_row_count(engine.list), name);
    list_set_cell(engine.list, row, col_source, source.c_str());
    list_set_cell(engine.list, row, col_destination, destination.c_str());
}

// Every change the watch hands out, as "row:relative\name".
std::set<std::string> due_changes(SourceWatch& watch)
{
    std::set<std::string> out;
    WatchedChange change;
    while (watch.take_due(change))
        out.insert(std::to_string(change.row) + ":" + change.relative + "\\" + change.name);
    return out;
}

}  // namespace

TEST(SourceWatch, BringsForwardTheUsersChangesOnlyOnceQuiet)
{
    TempDir dir;
    std::string tree = dir / "tree", single = dir / "single", work = dir / "work";
    for (const std::string& folder : {tree + "\\sub", tree + "\\backup", tree + "\\node_modules", single, work})
        make_folder(folder);
    Engine engine;
    copy_field(engine.workdir.path, work.c_str());
    copy_field(engine.settings.exclude, "node_modules;*.tmp");
    add_row(engine, "*.*", tree, tree + "\\backup");  // a backup folder inside its source
    add_row(engine, "only.txt", single, dir / "single-backup");
    add_row(engine, "*.*", work, dir / "work-backup");  // the working folder is a source too

    SourceWatch watch;
    watch.start(engine);
    // Wine watches a folder of the tree that was there before the watch once
    // a program has opened it: in a run, the walk of the pass right after.
    FolderTable walked;
    walk_folders(walked, engine.notifier, tree.c_str(), tree.size());
    ASSERT_FALSE(watch.pause(engine.stop_event.get(), 200));

    write_file(tree + "\\a.txt", "a");
    write_file(tree + "\\sub\\b.txt", "b");
    write_file(tree + "\\sub\\c.tmp", "left out by a pattern");
    write_file(tree + "\\node_modules\\m.js", "left out by a pattern on its way");
    write_file(tree + "\\backup\\a.txt", "the program's own backup");
    write_file(single + "\\only.txt", "the entry's file");
    write_file(single + "\\other.txt", "not the entry's");
    write_file(work + "\\quillsave.log", "the program's own report");
    make_folder(work + "\\inside");
    write_file(work + "\\inside\\user.txt", "a user's file below the working folder");
    // A name code page 932 cannot hold is brought forward by its short name, as the walk lists it.
    {
        std::wstring wide_tree(tree.begin(), tree.end());  // the test's folders are ASCII
        ScopedHandle cafe(CreateFileW((wide_tree + L"\\sub\\caf\u00e9 long name.txt").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(cafe.valid());
    }
    write_file(dir / "outside.txt", "moved in");
    ASSERT_TRUE(MoveFileA((dir / "outside.txt").c_str(), (tree + "\\sub\\moved.txt").c_str()));

    ASSERT_FALSE(watch.pause(engine.stop_event.get(), 500));
    EXPECT_TRUE(due_changes(watch).empty()) << "nothing before two quiet seconds";
    ASSERT_FALSE(watch.pause(engine.stop_event.get(), SourceWatch::kQuietMs + 500));
    wchar_t short_path[MAX_PATH];
    DWORD n = GetShortPathNameW((std::wstring(tree.begin(), tree.end()) + L"\\sub\\caf\u00e9 long name.txt").c_str(),
                                short_path, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    std::wstring short_name = std::wcsrchr(short_path, L'\\') + 1;
    std::set<std::string> expected{"0:\\a.txt", "0:\\sub\\b.txt", "0:\\sub\\moved.txt", "1:\\only.txt",
                                   "2:\\inside\\user.txt", "0:\\sub\\" + std::string(short_name.begin(), short_name.end())};
    EXPECT_EQ(due_changes(watch), expected);
    EXPECT_TRUE(watch.take_notes().empty());

    // A stop ends the pause at once.
    SetEvent(engine.stop_event.get());
    EXPECT_TRUE(watch.pause(engine.stop_event.get(), 60000));
}
