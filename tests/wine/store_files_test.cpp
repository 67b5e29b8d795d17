// set.ini, the list files, folder.ini and file.ini on real files: round trips,
// the Parts' messages, and the replace that never leaves a half-written file.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/engine.h"
#include "engine/settings_table.h"
#include "store/file_access.h"
#include "store/formats.h"
#include "store/program_files.h"
#include "store/seams.h"
#include "tests/wine/support.h"

namespace {

class StoreFiles : public ::testing::Test {
protected:
    TempDir dir;
    TempDir elsewhere;
    MessageRecorder recorder;
    Engine engine;

    void SetUp() override
    {
        engine.notifier = recorder.notifier();
        copy_field(engine.workdir.path, dir.path().c_str());
        // Somewhere else is current, as after a file dialog: every load and
        // save must go back to the working directory by itself.
        SetCurrentDirectoryA(elsewhere.path().c_str());
    }
    void TearDown() override { store_seams() = StoreSeams{}; }

    std::string at(const char* name) const { return dir / name; }
    // A second Engine with the same folder and recorder, as at the next start.
    std::unique_ptr<Engine> next_start()
    {
        auto e = std::make_unique<Engine>();
        e->notifier = recorder.notifier();
        copy_field(e->workdir.path, engine.workdir.path);
        reset_settings(e->settings, e->progress);
        return e;
    }
    void expect_no_message()
    {
        for (const auto& m : recorder.messages)
            ADD_FAILURE() << "unexpected message: " << m.text << " / " << m.caption;
        recorder.messages.clear();
    }
    void expect_message(const std::string& text, const char* caption, MessageKind kind)
    {
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text, text);
        EXPECT_STREQ(recorder.messages[0].caption.c_str(), caption);
        EXPECT_EQ(recorder.messages[0].kind, kind);
        recorder.messages.clear();
    }
};

std::string long_path(int i, char fill)
{
    std::string p = "C:\\ソ表\\" + std::to_string(i) + "=x\\";
    return p + std::string(kMaxText - p.size(), fill);
}

void add_row(BackupList& list, const char* const (&cells)[kListCells])
{
    int row = list_insert_row(list, list_row_count(list), cells[0]);
    for (int c = 1; c < column_count; ++c)
        list_set_cell(list, row, c, cells[c]);
}

}  // namespace

TEST_F(StoreFiles, SettingsWithEveryFieldChangedSurviveSaveAndLoad)
{
    Settings& s = engine.settings;
    s.data_size = 65536;
    s.data_time = 0;
    s.start_time = 5;
    s.restart_time = -1;
    s.rw_error_mode = 3;
    s.set_t_mode = 4;
    s.set_t_mon = 11;
    s.set_t_mday = 31;
    s.set_t_week = 6;
    s.set_t_hour = 23;
    s.set_t_min = 59;
    s.shutdown_mode = 1;
    s.conut_save_mode = 1;
    s.thread_dialog_mode = 1;
    copy_field(s.temp_backup, (long_path(1, ' ')).c_str());  // ends in spaces, holds "="
    copy_field(s.temp_foler_a1, long_path(2, 'a').c_str());
    copy_field(s.temp_foler_a2, "");
    copy_field(s.file_folder, "D:\\表\\");
    copy_field(s.exclude, "ソフト\\*.tmp; 表* ;");
    engine.progress.fmove_point = 7;
    engine.progress.dmove_point = -3;
    engine.progress.folder_max = 4999;
    engine.progress.folder_count = 4998;
    engine.progress.folder_search_flag = 1;
    engine.progress.file_max = 12;
    engine.progress.file_count = 11;
    engine.progress.file_search_flag = 1;
    std::string expected = format_settings(engine.settings, engine.progress);

    save_settings(engine, "set.ini");
    EXPECT_EQ(read_file(at("set.ini")), expected);

    auto next = next_start();
    Engine& loaded = *next;
    load_settings(loaded, "set.ini");
    EXPECT_EQ(format_settings(loaded.settings, loaded.progress), expected);
    EXPECT_EQ(std::string(loaded.settings.temp_backup).size(), kMaxText);
    EXPECT_STREQ(loaded.settings.exclude, "ソフト\\*.tmp; 表* ;");
    expect_no_message();
}

TEST_F(StoreFiles, MissingSetIniIsCreatedEmptyAndTheDefaultsStand)
{
    engine.settings.data_size = 1;
    load_settings(engine, "set.ini");
    EXPECT_EQ(engine.settings.data_size, 131072);
    EXPECT_EQ(read_file(at("set.ini")), "");
    expect_no_message();
}

// More records than the old fixed tables held, each text at 259 bytes.
TEST_F(StoreFiles, LargeTablesOf259BytePathsSurviveSaveAndLoad)
{
    const int records = 6000;
    for (int i = 0; i < records; ++i) {
        engine.folders.records.push_back({long_path(i, 'f'), i == 0 ? "" : long_path(i, 'r')});
        engine.files.records.push_back({long_path(i, 'n'), i, 0});
    }
    save_folder_table(engine, "folder.ini");
    save_file_table(engine, "file.ini");
    std::string folder_bytes = read_file(at("folder.ini"));
    std::string file_bytes = read_file(at("file.ini"));
    EXPECT_EQ(folder_bytes, format_folder_table(engine.folders));
    EXPECT_EQ(file_bytes, format_file_table(engine.files));

    auto next = next_start();
    Engine& loaded = *next;
    load_folder_table(loaded, "folder.ini");
    load_file_table(loaded, "file.ini");
    EXPECT_EQ(loaded.folders.count(), records);
    EXPECT_EQ(loaded.files.count(), records);
    EXPECT_EQ(format_folder_table(loaded.folders), folder_bytes);
    EXPECT_EQ(format_file_table(loaded.files), file_bytes);
    expect_no_message();
}

TEST_F(StoreFiles, EmptyTablesDeleteTheirFilesAndOnlyFolderIniComplains)
{
    write_file(at("folder.ini"), "a\r\n\r\n");
    write_file(at("file.ini"), "a\r\n0\r\n0\r\n");
    save_folder_table(engine, "folder.ini");
    save_file_table(engine, "file.ini");
    EXPECT_FALSE(file_exists(at("folder.ini")));
    EXPECT_FALSE(file_exists(at("file.ini")));
    expect_no_message();

    save_file_table(engine, "file.ini");  // already gone: silent
    expect_no_message();
    save_folder_table(engine, "folder.ini");
    expect_message("folder.ini", "DeleteFile-errer", MessageKind::plain);

    // The next start creates both empty and loads empty tables.
    engine.folders.records.resize(3);
    load_folder_table(engine, "folder.ini");
    load_file_table(engine, "file.ini");
    EXPECT_EQ(engine.folders.count(), 0);
    EXPECT_EQ(read_file(at("folder.ini")), "");
    EXPECT_EQ(read_file(at("file.ini")), "");
    expect_no_message();
}

TEST_F(StoreFiles, ListWithJapaneseAndStatusTextsSurvivesSaveAndLoad)
{
    const char* rows[][kListCells] = {
        {"*.*", "C:\\データ\\ソ", "D:\\表\\保存", "完", "完"},
        {"報告.txt", "C:\\a,b", "D:\\\"q\"", "読e", "12"},
        {"x.doc", "C:\\x", "D:\\x", "未", "未"},
    };
    for (const auto& r : rows)
        add_row(engine.list, r);
    std::string expected = format_list(engine.list);
    save_list_file(engine, "quillsave.ini");
    EXPECT_EQ(read_file(at("quillsave.ini")), expected);
    EXPECT_NE(expected.find("x.doc,C:\\x,D:\\x,未,未,\r\n"), std::string::npos);

    list_clear(engine.list);
    load_list_file(engine, "quillsave.ini");
    EXPECT_EQ(list_row_count(engine.list), 3);
    EXPECT_EQ(format_list(engine.list), expected);
    expect_no_message();
}

TEST_F(StoreFiles, EmptyListDeletesTheFileAndTheNextLoadComplains)
{
    write_file(at("quillsave.ini"), "a,b,c,d,e,\r\n");
    save_list_file(engine, "quillsave.ini");
    EXPECT_FALSE(file_exists(at("quillsave.ini")));
    save_list_file(engine, "quillsave.ini");  // nothing to delete: silent
    expect_no_message();

    const char* row[kListCells] = {"a", "", "", "", ""};
    add_row(engine.list, row);
    load_list_file(engine, "quillsave.ini");
    EXPECT_EQ(list_row_count(engine.list), 0);
    expect_message("quillsave.iniのﾌｧｲﾙが開けません", "CreateFile", MessageKind::exclamation);
    EXPECT_FALSE(file_exists(at("quillsave.ini")));  // OPEN_EXISTING creates nothing
}

TEST_F(StoreFiles, AnInterruptedWriteLeavesTheOldFileWhole)
{
    // Each save with new content, over an old file, cut after half its bytes.
    struct Case {
        const char* name;
        std::function<void(Engine&)> change;
        void (*save)(Engine&, const char*);
    } cases[] = {
        {"set.ini", [](Engine& e) { e.settings.data_size = 1; copy_field(e.settings.file_folder, "E:\\"); }, save_settings},
        {"quillsave.ini", [](Engine& e) { const char* r[kListCells] = {"n", "s", "d", "", ""}; add_row(e.list, r); }, save_list_file},
        {"list.csv", [](Engine& e) { const char* r[kListCells] = {"n", "s", "d", "", ""}; add_row(e.list, r); }, save_list_file},
        {"folder.ini", [](Engine& e) { e.folders.records.push_back({"C:\\new", ""}); }, save_folder_table},
        {"file.ini", [](Engine& e) { e.files.records.push_back({"new.txt", 0, 0}); }, save_file_table},
    };
    for (const auto& c : cases) {
        auto next = next_start();
        Engine& e = *next;
        c.change(e);
        std::string old_bytes = std::string("old content of ") + c.name + "\r\n";
        write_file(at(c.name), old_bytes);

        store_seams().cut_writes_in_half = true;
        c.save(e, c.name);
        EXPECT_EQ(read_file(at(c.name)), old_bytes) << c.name;
        EXPECT_FALSE(file_exists(at(c.name) + ".tmp")) << c.name;

        // The same save without the fault replaces the file.
        store_seams().cut_writes_in_half = false;
        c.save(e, c.name);
        EXPECT_NE(read_file(at(c.name)), old_bytes) << c.name;
        EXPECT_FALSE(file_exists(at(c.name) + ".tmp")) << c.name;
    }
    expect_no_message();
}

TEST_F(StoreFiles, AFileHeldOpenIsReportedAndLeftAsItWas)
{
    write_file(at("set.ini"), "data_size=5\r\n");
    HANDLE held = CreateFileA(at("set.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    save_settings(engine, "set.ini");
    expect_message("set.iniのﾌｧｲﾙが開けません", "CreateFile", MessageKind::exclamation);
    engine.settings.data_size = 1;
    load_settings(engine, "set.ini");
    expect_message("set.iniのﾌｧｲﾙが開けません", "CreateFile", MessageKind::exclamation);
    EXPECT_EQ(engine.settings.data_size, 131072);  // the defaults stand
    CloseHandle(held);

    EXPECT_EQ(read_file(at("set.ini")), "data_size=5\r\n");
    EXPECT_FALSE(file_exists(at("set.ini.tmp")));
}

// set.ini or the list file held by another program at the start (a scanner,
// an editor): what the program then holds, defaults or an empty list, never
// goes over the file. A file that is not there is written as always, and
// the list still goes to a file the user names.
TEST_F(StoreFiles, AProgramFileThatCouldNotBeReadIsNotWrittenOver)
{
    struct Case {
        const char* name;
        bool there;
        void (*load)(Engine&, const char*);
        void (*save)(Engine&, const char*);
        void (*change)(Engine&);
        bool kept;
    };
    auto add_a_row = [](Engine& e) { const char* r[kListCells] = {"n", "s", "d", "", ""}; add_row(e.list, r); };
    auto change_settings = [](Engine& e) { e.settings.data_time = 9; };
    const Case cases[] = {
        {"quillsave.ini", true, load_list_file, save_list_file, add_a_row, true},
        {"quillsave.ini", true, load_list_file, save_list_file, [](Engine&) {}, true},  // empty: no delete either
        {"set.ini", true, load_settings, save_settings, change_settings, true},
        {"quillsave.ini", false, load_list_file, save_list_file, add_a_row, false},
        {"set.ini", false, load_settings, save_settings, change_settings, false},
    };
    for (const Case& c : cases) {
        std::string where = std::string(c.name) + (c.there ? " held" : " missing");
        const std::string old_bytes = "a,b,c,d,e,\r\ndata_time=4\r\n";
        DeleteFileA(at(c.name).c_str());
        auto next = next_start();
        Engine& e = *next;
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.there) {
            write_file(at(c.name), old_bytes);
            held = CreateFileA(at(c.name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE) << where;
        }
        c.load(e, c.name);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        recorder.messages.clear();  // the open failure, as before

        c.change(e);
        c.save(e, c.name);
        if (c.kept)
            EXPECT_EQ(read_file(at(c.name)), old_bytes) << where;
        else
            EXPECT_NE(read_file(at(c.name)), "") << where;
        expect_no_message();
    }

    // The list made after a held quillsave.ini, saved under a name the user chose.
    auto next = next_start();
    Engine& e = *next;
    write_file(at("quillsave.ini"), "old,,,,,\r\n");
    HANDLE held = CreateFileA(at("quillsave.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    load_list_file(e, "quillsave.ini");
    CloseHandle(held);
    add_a_row(e);
    save_list_file(e, at("保存.csv").c_str());
    EXPECT_EQ(read_file(at("保存.csv")), "n,s,d,,,\r\n");
}

// The working folder gone (its drive removed, the folder renamed) while the
// current directory is somewhere else, as a file dialog or a run leaves it:
// no save writes or deletes anything there.
TEST_F(StoreFiles, NoProgramFileIsWrittenOutsideTheWorkingFolder)
{
    copy_field(engine.workdir.path, (dir / "gone").c_str());
    const std::string theirs = "a file of the folder that happens to be current\r\n";
    write_file(elsewhere / "quillsave.ini", theirs);
    const char* row[kListCells] = {"n", "s", "d", "", ""};

    save_list_file(engine, "quillsave.ini");  // an empty list would delete it
    add_row(engine.list, row);
    save_list_file(engine, "list.csv");
    save_settings(engine, "set.ini");
    engine.folders.records.push_back({"C:\\src", ""});
    engine.files.records.push_back({"a.txt", 0, 0});
    save_folder_table(engine, "folder.ini");
    save_file_table(engine, "file.ini");

    EXPECT_EQ(list_folder(elsewhere.path()), std::vector<std::string>{"quillsave.ini"});
    EXPECT_EQ(read_file(elsewhere / "quillsave.ini"), theirs);
    EXPECT_EQ(list_folder(dir.path()), std::vector<std::string>{});
}
