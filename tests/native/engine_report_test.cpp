// The lines of quillsave.log and the words of its reasons.
#include <gtest/gtest.h>

#include <string>

#include "engine/report.h"
#include "engine/run_state.h"
#include "engine/settings.h"
#include "store/formats.h"

namespace {

const ReportTime kTime{2026, 12, 9, 15, 30, 2};

}  // namespace

TEST(Report, ReasonsInWordsAndOtherCodesInNumbers)
{
    struct Case {
        Failure failure;
        const char* text;
    } cases[] = {
        {{ReportReason::system_error, 32}, "他のプログラムが使用中です"},
        {{ReportReason::system_error, 33}, "他のプログラムが使用中です"},
        {{ReportReason::system_error, 5}, "アクセスが拒否されました"},
        {{ReportReason::system_error, 112}, "ディスクがいっぱいです"},
        {{ReportReason::system_error, 39}, "ディスクがいっぱいです"},
        {{ReportReason::system_error, 2}, "ファイルがありません"},
        {{ReportReason::system_error, 3}, "フォルダまたはドライブがありません"},
        {{ReportReason::system_error, 15}, "フォルダまたはドライブがありません"},
        {{ReportReason::system_error, 67}, "フォルダまたはドライブがありません"},
        {{ReportReason::system_error, 206}, "パスが259バイトを超えます"},
        {{ReportReason::source_too_long, 0}, "転送元のパスが259バイトを超えます"},
        {{ReportReason::backup_too_long, 206}, "保存先のパスが259バイトを超えます"},
        {{ReportReason::unreachable_name, 0}, "名前がShift-JISで表せず、短い名前もありません"},
        {{ReportReason::system_error, 1234}, "エラーコード 1234"},
        {{ReportReason::system_error, 0}, "エラーコード 0"},
        {{ReportReason::system_error, 4294967295ul}, "エラーコード 4294967295"},
        {{ReportReason::system_error, 19}, "書き込み禁止です"},
        {{ReportReason::version_not_kept, 3},
         "古いバックアップを以前のバージョンに残せなかったため、残さずに置き換えました（フォルダまたはドライブがありません）"},
        {{ReportReason::listing_cut, 64}, "フォルダの一覧が途中で途切れました（フォルダまたはドライブがありません）"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reason_text(c.failure), c.text) << static_cast<int>(c.failure.reason) << " " << c.failure.code;
    Failure passed{ReportReason::backup_too_long, 206, 3};
    EXPECT_EQ(reason_with_tries(passed), "保存先のパスが259バイトを超えます（3回続けて失敗したので次へ進みました）");
}

// Only what would meet every file of the backup folder makes the run wait
// instead of passing the file.
TEST(Report, BackupWideFailures)
{
    for (unsigned long code : {112ul, 39ul, 15ul, 19ul, 21ul, 53ul, 67ul})
        EXPECT_TRUE(is_backup_wide(code)) << code;
    for (unsigned long code : {0ul, 2ul, 3ul, 5ul, 32ul, 206ul})
        EXPECT_FALSE(is_backup_wide(code)) << code;
}

TEST(Report, LinesAreTabSeparatedAndEndInCrLf)
{
    EXPECT_EQ(format_pass_begin(kTime, 0, StartKind::by_hand, false),
              "2026/12/09 15:30:02\t開始\t待機BackUP\t手動で開始\r\n");
    EXPECT_EQ(format_pass_begin(kTime, 1, StartKind::after_error, true),
              "2026/12/09 15:30:02\t開始\t連続BackUP\tエラー後に再開\t前回の続きから\r\n");
    EXPECT_EQ(format_pass_begin(kTime, 0, StartKind::schedule, false),
              "2026/12/09 15:30:02\t開始\t待機BackUP\tスケジュールで開始\r\n");
    EXPECT_EQ(format_pass_begin(kTime, 0, StartKind::auto_start, false),
              "2026/12/09 15:30:02\t開始\t待機BackUP\t自動起動で開始\r\n");
    EXPECT_EQ(format_not_backed_up(kTime, "読e", 2, "C:\\ソ", "C:\\ソ\\mail.pst", {ReportReason::system_error, 32}),
              "2026/12/09 15:30:02\t読e\t3行目 C:\\ソ\tC:\\ソ\\mail.pst\t他のプログラムが使用中です\r\n");
    EXPECT_EQ(format_waiting(kTime, "棚e", 0, "C:\\a", "C:\\a\\b.txt", {ReportReason::system_error, 3}),
              "2026/12/09 15:30:02\t待機\t棚e\t1行目 C:\\a\tC:\\a\\b.txt\tフォルダまたはドライブがありません。戻るまで待ちます\r\n");
    PassTally tally;
    tally.copied = 12;
    tally.up_to_date = 3400;
    tally.missed = 2;
    tally.bytes = 1234567890;
    tally.seconds = 3 * 3600 + 5 * 60 + 9;
    tally.versions_kept = 5;
    tally.versions_removed = 1;
    EXPECT_EQ(format_pass_end(kTime, false, tally),
              "2026/12/09 15:30:02\t完了\tコピー 12件\t最新 3400件\tバックアップできず 2件\t1,234,567,890バイト\t3:05:09"
              "\t以前のバージョン 残した 5件 消した 1件\r\n");
    EXPECT_EQ(format_pass_end(kTime, true, PassTally{}),
              "2026/12/09 15:30:02\t停止\tコピー 0件\t最新 0件\tバックアップできず 0件\t0バイト\t0:00:00"
              "\t以前のバージョン 残した 0件 消した 0件\r\n");
    EXPECT_EQ(format_event(kTime, "電源オフできませんでした", "アクセスが拒否されました"),
              "2026/12/09 15:30:02\t電源オフできませんでした\tアクセスが拒否されました\r\n");
    EXPECT_EQ(missed_status_text(2), "×2");
    for (int n : {1, 2, 999, 123456})
        EXPECT_EQ(missed_of_status_text(missed_status_text(n).c_str()), n) << n;
    for (const char* text : {"完", "", "×", "×2a", "3", "読e", "×99999999999"})
        EXPECT_EQ(missed_of_status_text(text), 0) << text;
}

// A file that does not fit is told with its size and the free space; a
// disk full for every file says so once.
TEST(Report, RoomOnTheDiskInBytes)
{
    Failure fit{ReportReason::does_not_fit, 112};
    fit.size = 5242880;
    fit.free = 3145728;
    fit.free_known = true;
    EXPECT_EQ(reason_text(fit), "保存先の空きが足りません（ファイル 5,242,880 バイト、空き 3,145,728 バイト）");
    fit.free_known = false;
    EXPECT_EQ(reason_text(fit), "保存先の空きが足りません（ファイル 5,242,880 バイト、空き 不明）");
    Failure full{ReportReason::disk_full, 112};
    full.free = 4096;
    full.free_known = true;
    EXPECT_EQ(reason_text(full),
              "保存先のディスクがいっぱいです（空き 4,096 バイト）。このパスの以降のファイルもバックアップできません");
}

// try_count and miss_count are lines only while they are not 0, so a run
// where all went well writes the lines of before; they come before
// exclude, the last line, and both read back.
TEST(Report, SetIniKeepsTheTriesOnlyWhileThereAreAny)
{
    Settings settings{};
    ProgressState progress;
    std::string plain = format_settings(settings, progress);
    EXPECT_EQ(plain.find("try_count"), std::string::npos);
    EXPECT_EQ(plain.find("miss_count"), std::string::npos);

    progress.try_count = 2;
    progress.miss_count = 7;
    std::string kept = format_settings(settings, progress);
    const std::string last = "exclude=\r\n";
    ASSERT_EQ(plain.substr(plain.size() - last.size()), last);
    EXPECT_EQ(kept, plain.substr(0, plain.size() - last.size()) + "try_count=2\r\nmiss_count=7\r\n" + last);

    Settings read_settings_back{};
    ProgressState read_progress;
    read_settings(read_settings_back, read_progress, memory_source(kept.data(), kept.size()));
    EXPECT_EQ(read_progress.try_count.load(), 2);
    EXPECT_EQ(read_progress.miss_count.load(), 7);
}
