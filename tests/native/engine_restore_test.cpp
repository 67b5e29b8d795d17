// The rules of getting files back: how a backup stands beside its source,
// what a restore does with the file it finds at the target, the short names
// it tells of, and the counts its questions name.
#include <gtest/gtest.h>

#include "engine/copy_rules.h"
#include "engine/restore.h"

namespace {

constexpr std::uint64_t kSecond = 10000000ull;
constexpr std::uint64_t kT = 13'000'000'000ull * kSecond / 100;  // any time

FileFacts at(std::uint64_t written, std::uint64_t size)
{
    return FileFacts{true, written, size};
}

TEST(Restore, StandingAndActionByTimeAndSize)
{
    struct Case {
        const char* what;
        FileFacts target;
        Standing standing;
        RestoreAction in_folder;
        RestoreAction picked;
    } cases[] = {
        {"nothing there", FileFacts{}, Standing::source_missing, RestoreAction::write_missing,
         RestoreAction::write_missing},
        {"same", at(kT, 10), Standing::same, RestoreAction::leave_same, RestoreAction::leave_same},
        // A FAT32 backup is up to 2 s older than its source and still its copy.
        {"same within FAT32's step", at(kT + 2 * kSecond, 10), Standing::same, RestoreAction::leave_same,
         RestoreAction::leave_same},
        {"target newer", at(kT + 3 * kSecond, 10), Standing::source_newer, RestoreAction::replace_newer,
         RestoreAction::replace_older},
        {"target older", at(kT - 3 * kSecond, 10), Standing::backup_newer, RestoreAction::replace_older,
         RestoreAction::replace_older},
        // Same time, other size: nothing says which is older, so a folder's
        // restore asks before it replaces it.
        {"same time, other size", at(kT, 11), Standing::backup_newer, RestoreAction::replace_newer,
         RestoreAction::replace_older},
    };
    FileFacts backup = at(kT, 10);
    for (const Case& c : cases) {
        EXPECT_EQ(standing_of(backup, c.target), c.standing) << c.what;
        EXPECT_EQ(restore_action(backup, c.target, false), c.in_folder) << c.what;
        EXPECT_EQ(restore_action(backup, c.target, true), c.picked) << c.what;
    }
}

TEST(Restore, ShortNamesAndProgramFiles)
{
    struct Case {
        const char* name;
        bool short_name;
    } cases[] = {
        {"CAFE~1.TXT", true}, {"AB~12", true},    {"R~1.D", true},         {"cafe~1.txt", false},
        {"~1.TXT", false},    {"CAFE~.TXT", false}, {"CAFEBABE~1.TXT", false}, {"CAF~1.TEXT", false},
        {"ソ~1.TXT", false},  {"report.doc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(looks_like_short_name(c.name), c.short_name) << c.name;
    EXPECT_TRUE(is_program_file_name(kRestoreTempName));
    EXPECT_TRUE(is_program_file_name("~qsv$.tmp"));
    EXPECT_FALSE(is_program_file_name("~qsv$.tmp.txt"));
}

TEST(Restore, CountsNameWhatIsReplacedAndWhatIsAsked)
{
    auto file = [](RestoreAction action, const char* to, std::uint64_t size) {
        RestoreFile f;
        f.action = action;
        f.to = to;
        f.backup = at(kT, size);
        return f;
    };
    std::vector<RestoreFile> files = {
        file(RestoreAction::write_missing, "C:\\a", 5),  file(RestoreAction::replace_older, "C:\\b", 7),
        file(RestoreAction::replace_newer, "C:\\c", 11), file(RestoreAction::leave_same, "C:\\d", 13),
        file(RestoreAction::write_missing, "", 17),
    };
    RestoreCounts counts = count_restore(files);
    EXPECT_EQ(counts.files, 3);
    EXPECT_EQ(counts.replace, 1);
    EXPECT_EQ(counts.newer, 1);
    EXPECT_EQ(counts.same, 1);
    EXPECT_EQ(counts.too_long, 1);
    EXPECT_EQ(counts.bytes, 23u);
    EXPECT_TRUE(replace_question(0).empty());
    EXPECT_TRUE(newer_question(0).empty());
    EXPECT_NE(replace_question(3).find("3個"), std::string::npos);
    EXPECT_NE(newer_question(2).find("2個"), std::string::npos);
}

TEST(Restore, EndTextTellsWhatWasLeftOutAndWhy)
{
    RestoreTally tally;
    tally.restored = 4;
    EXPECT_EQ(restore_end_text(tally).find("quillsave.log"), std::string::npos);
    tally.left_out = 2;
    tally.first_failure.code = 112;  // the target disk full
    tally.short_names = 1;
    std::string text = restore_end_text(tally);
    EXPECT_NE(text.find("2個"), std::string::npos);
    EXPECT_NE(text.find("ディスクがいっぱいです"), std::string::npos);
    EXPECT_NE(text.find("短い名前"), std::string::npos);
    EXPECT_NE(text.find("quillsave.log"), std::string::npos);
}

}  // namespace
