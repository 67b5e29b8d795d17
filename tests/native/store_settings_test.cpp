// set.ini: the 28 lines, their reading window and the key rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/run_state.h"
#include "engine/settings.h"
#include "engine/settings_table.h"
#include "store/formats.h"

namespace {

struct Record {
    Settings settings{};
    ProgressState progress;
    Record() { reset_settings(settings, progress); }
    void read(const std::string& bytes) { read_settings(settings, progress, memory_source(bytes.data(), bytes.size())); }
    std::string text() const { return format_settings(settings, progress); }
};

const char kDefaults[] =
    "data_size=131072\r\ndata_time=3\r\nfmove_point=0\r\ndmove_point=0\r\n"
    "temp_backup=C:\\\r\ntemp_foler_a1=C:\\\r\ntemp_foler_a2=C:\\\r\nfile_folder=C:\\\r\n"
    "start_time=120\r\nrestart_time=60\r\nrw_error_mode=1\r\n"
    "folder_max=0\r\nfolder_count=0\r\nfolder_search_flag=0\r\n"
    "file_max=0\r\nfile_count=0\r\nfile_search_flag=0\r\n"
    "set_t_mode=0\r\nset_t_mon=1\r\nset_t_mday=1\r\nset_t_week=1\r\nset_t_hour=1\r\nset_t_min=1\r\n"
    "shutdown_mode=0\r\nconut_save_mode=0\r\nthread_dialog_mode=0\r\nversion_days=30\r\n"
    "exclude=System Volume Information;$RECYCLE.BIN;Thumbs.db;~$*\r\n";

// A 259-byte text with "=", Japanese and trailing spaces.
std::string long_text(char fill)
{
    std::string t = "D:\\表\\ソ=a=b\\" + std::string(200, fill);
    return t + std::string(kMaxText - t.size(), ' ');
}

// Every field away from its default, each to a value of its own.
void change_every_field(Record& r)
{
    int* numbers[] = {&r.settings.data_size, &r.settings.data_time, &r.settings.start_time,
                      &r.settings.restart_time, &r.settings.rw_error_mode, &r.settings.set_t_mode,
                      &r.settings.set_t_mon, &r.settings.set_t_mday, &r.settings.set_t_week,
                      &r.settings.set_t_hour, &r.settings.set_t_min, &r.settings.shutdown_mode,
                      &r.settings.conut_save_mode, &r.settings.thread_dialog_mode, &r.settings.version_days};
    int value = -2147483647 - 1;
    for (int* n : numbers)
        *n = value++;
    r.settings.data_size = 2147483647;
    std::atomic<std::int32_t>* counters[] = {&r.progress.fmove_point, &r.progress.dmove_point,
                                             &r.progress.folder_max, &r.progress.folder_count,
                                             &r.progress.folder_search_flag, &r.progress.file_max,
                                             &r.progress.file_count, &r.progress.file_search_flag};
    for (auto* c : counters)
        *c = 1000 + value++;
    copy_field(r.settings.temp_backup, long_text('b').c_str());
    copy_field(r.settings.temp_foler_a1, long_text('1').c_str());
    copy_field(r.settings.temp_foler_a2, long_text('2').c_str());
    copy_field(r.settings.file_folder, "");
    copy_field(r.settings.exclude, long_text('x').c_str());
}

}  // namespace

// The 26 lines of the first files, then version_days, then exclude; a file
// without the later lines (written before) reads them as their defaults.
TEST(SettingsFile, DefaultsGiveThe28Lines)
{
    Record r;
    EXPECT_EQ(r.text(), kDefaults);
    const std::string all = kDefaults;
    for (const char* last : {"version_days=", "exclude="}) {
        std::string first = all.substr(0, all.find(last));
        Record read_back;  // reset, as the program does before it reads
        read_back.read(first);
        EXPECT_EQ(read_back.text(), kDefaults) << "without " << last;
    }
}

// The patterns left out come back as typed: a 0x5C trail byte is no
// separator of the line, spaces stay, and an empty line is an empty list
// (nothing left out), not the default.
TEST(SettingsFile, ExclusionsReadBackAsWritten)
{
    const char* const cases[] = {
        "ソフト\\*.tmp;表*", "", " *.tmp ; node_modules ;", "AppData\\Local\\Temp;~$*", "a=b;c",
    };
    for (const char* value : cases) {
        Record written;
        copy_field(written.settings.exclude, value);
        std::string bytes = written.text();
        ASSERT_NE(bytes.find(std::string("\r\nexclude=") + value + "\r\n"), std::string::npos) << value;
        Record loaded;
        loaded.read(bytes);
        EXPECT_STREQ(loaded.settings.exclude, value);
        EXPECT_EQ(loaded.text(), bytes) << value;
    }
    Record empty_line;
    empty_line.read("data_time=5\r\nexclude=\r\n");
    EXPECT_STREQ(empty_line.settings.exclude, "");
}

TEST(SettingsFile, EveryFieldChangedReadsBackByteForByte)
{
    Record written;
    change_every_field(written);
    std::string bytes = written.text();
    ASSERT_EQ(std::string(written.settings.temp_backup).size(), kMaxText);
    ASSERT_NE(bytes, kDefaults);

    Record loaded;
    loaded.read(bytes);
    EXPECT_EQ(loaded.text(), bytes);
    EXPECT_EQ(loaded.settings.data_size, 2147483647);
    EXPECT_EQ(loaded.settings.data_time, -2147483647);
    EXPECT_EQ(loaded.progress.file_search_flag.load(), written.progress.file_search_flag.load());
    EXPECT_STREQ(loaded.settings.temp_foler_a2, long_text('2').c_str());
    EXPECT_STREQ(loaded.settings.file_folder, "");
    EXPECT_STREQ(loaded.settings.exclude, long_text('x').c_str());
}

TEST(SettingsFile, LinesApplyAsTheKeyRulesSay)
{
    struct Case { std::string file; std::string expected_line; } cases[] = {
        {"data_size=65536abc\r\n", "data_size=65536"},
        {"data_size=\r\n", "data_size=0"},
        {"data_size= -5\r\n", "data_size=-5"},
        {"data_size=\t+7x\r\n", "data_size=7"},
        {"Data_size=7\r\n", "data_size=131072"},
        {"data_size =7\r\n", "data_size=131072"},
        {" data_size=7\r\n", "data_size=131072"},
        {"data_size=7\r\ndata_size=8\r\n", "data_size=8"},
        {"data_size=7", "data_size=131072"},          // no line end: not applied
        {"data_size=7\n", "data_size=0"},             // a bare LF eats the 7
        {"data_size=77\n", "data_size=7"},
        {"temp_backup=a=b \r\n", "temp_backup=a=b "},
        {"temp_backup=\r\n", "temp_backup="},
        {"file_count=-3\r\n", "file_count=-3"},
        {"dmove_point=2147483648\r\n", "dmove_point=-2147483648"},
        {"\r\n\r\nunknown=1\r\n\r\n", "data_size=131072"},
        {"", "set_t_min=1"},
        {"set_t_min=9\r\nset_t_hour=5\r\nset_t_min=4", "set_t_min=9"},
    };
    for (const auto& c : cases) {
        Record r;
        r.read(c.file);
        EXPECT_NE(r.text().find(c.expected_line + "\r\n"), std::string::npos)
            << "file: " << c.file << "\nwanted: " << c.expected_line << "\ngot:\n" << r.text();
    }
}

TEST(SettingsFile, ALineTooLongForTheWindowEndsTheReading)
{
    // 280 bytes with CR LF: the longest line the program writes.
    std::string longest = "thread_dialog_mode=" + std::string(kMaxText, '9') + "\r\n";
    ASSERT_EQ(longest.size(), kSettingsWindow);
    Record fits;
    fits.read("data_time=5\r\n" + longest + "set_t_min=7\r\n");
    EXPECT_EQ(fits.settings.data_time, 5);
    EXPECT_EQ(fits.settings.set_t_min, 7);

    std::string over = "temp_backup=" + std::string(300 - 12, 'x') + "\r\n";
    Record cut;
    cut.read("data_time=5\r\n" + over + "set_t_min=7\r\n");
    EXPECT_EQ(cut.settings.data_time, 5);
    EXPECT_STREQ(cut.settings.temp_backup, "C:\\");
    EXPECT_EQ(cut.settings.set_t_min, 1);

    // One byte over the window is already too long.
    Record one_over;
    one_over.read("thread_dialog_mode=" + std::string(kMaxText + 1, '9') + "\r\nset_t_min=7\r\n");
    EXPECT_EQ(one_over.settings.set_t_min, 1);
}

TEST(SettingsFile, AShortKeyWithALongValueKeeps259Bytes)
{
    // "data_size=" leaves room in the window for a value past 259 bytes: the
    // text field keeps its first 259, the number reads its digits.
    Record r;
    r.read("file_folder=" + std::string(kSettingsWindow - 14, 'f') + "\r\n" +
           "data_size=" + std::string(200, ' ') + "42\r\n");
    EXPECT_EQ(std::string(r.settings.file_folder), std::string(kMaxText, 'f'));
    EXPECT_EQ(r.settings.data_size, 42);
}
