#include "engine/report.h"

#include <cstdio>
#include <cstring>

namespace {

// The system's error codes the report puts in words (winerror.h; no Windows
// header here, so the numbers are written out), and whether every file of a
// backup folder would meet the same.
struct KnownCode {
    unsigned long code;
    const char* words;
    bool backup_wide;
};

constexpr char kHeld[] = "他のプログラムが使用中です";
constexpr char kFull[] = "ディスクがいっぱいです";
constexpr char kNotThere[] = "フォルダまたはドライブがありません";

constexpr KnownCode kKnownCodes[] = {
    {2, "ファイルがありません", false},             // ERROR_FILE_NOT_FOUND
    {3, kNotThere, false},                          // ERROR_PATH_NOT_FOUND: perhaps one folder
    {5, "アクセスが拒否されました", false},         // ERROR_ACCESS_DENIED
    {15, kNotThere, true},                          // ERROR_INVALID_DRIVE
    {19, "書き込み禁止です", true},                 // ERROR_WRITE_PROTECT: a locked card, a read-only disk
    {21, kNotThere, true},                          // ERROR_NOT_READY
    {32, kHeld, false},                             // ERROR_SHARING_VIOLATION
    {33, kHeld, false},                             // ERROR_LOCK_VIOLATION
    {39, kFull, true},                              // ERROR_HANDLE_DISK_FULL
    {53, kNotThere, true},                          // ERROR_BAD_NETPATH
    {64, kNotThere, true},                          // ERROR_NETNAME_DELETED
    {67, kNotThere, true},                          // ERROR_BAD_NET_NAME
    {112, kFull, true},                             // ERROR_DISK_FULL
    {123, "名前が使えません", false},               // ERROR_INVALID_NAME
    {206, "パスが259バイトを超えます", false},      // ERROR_FILENAME_EXCED_RANGE
    {433, kNotThere, true},                         // ERROR_NO_SUCH_DEVICE
    {1167, kNotThere, true},                        // ERROR_DEVICE_NOT_CONNECTED
};

const KnownCode* known(unsigned long code)
{
    for (const KnownCode& k : kKnownCodes)
        if (k.code == code)
            return &k;
    return nullptr;
}

std::string code_text(unsigned long code)
{
    if (const KnownCode* k = known(code))
        return k->words;
    char text[40];
    std::snprintf(text, sizeof text, "エラーコード %lu", code);
    return text;
}


std::string entry_fields(const char* status, int row, const char* source_folder, const char* path)
{
    char row_text[24];
    std::snprintf(row_text, sizeof row_text, "%d行目 ", row + 1);
    return std::string(status) + "\t" + row_text + source_folder + "\t" + path;
}

std::string free_text(const Failure& failure)
{
    return failure.free_known ? grouped(failure.free) + " バイト" : "不明";
}

}  // namespace

std::string grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string report_stamp(const ReportTime& t)
{
    return time_text("%04d/%02d/%02d %02d:%02d:%02d", t);
}

std::string time_text(const char* format, const ReportTime& t)
{
    char text[48];
    std::snprintf(text, sizeof text, format, t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

std::string reason_text(const Failure& failure)
{
    switch (failure.reason) {
    case ReportReason::source_too_long: return "転送元のパスが259バイトを超えます";
    case ReportReason::backup_too_long: return "保存先のパスが259バイトを超えます";
    case ReportReason::unreachable_name: return "名前がShift-JISで表せず、短い名前もありません";
    case ReportReason::table_full: return "フォルダの数が一覧の上限を超えました";
    case ReportReason::backup_inside: return "転送元の中にある保存先のフォルダなので、バックアップしません";
    case ReportReason::version_too_long:
        return "以前のバージョンのパスが259バイトを超えるため、古いバックアップを残さずに置き換えました";
    case ReportReason::version_not_kept:
        return "古いバックアップを以前のバージョンに残せなかったため、残さずに置き換えました（" +
               code_text(failure.code) + "）";
    case ReportReason::does_not_fit:
        return "保存先の空きが足りません（ファイル " + grouped(failure.size) + " バイト、空き " + free_text(failure) +
               "）";
    case ReportReason::disk_full:
        return "保存先のディスクがいっぱいです（空き " + free_text(failure) +
               "）。このパスの以降のファイルもバックアップできません";
    case ReportReason::listing_cut:
        return "フォルダの一覧が途中で途切れました（" + code_text(failure.code) + "）";
    case ReportReason::folder_link:
        return failure.detail.empty() ? "リンクなので辿りません" : "リンクなので辿りません（リンク先 " + failure.detail + "）";
    case ReportReason::dangling_link: return "リンク先がないのでバックアップしません";
    case ReportReason::cloud_only:
        return "クラウドにのみあるファイル " + grouped(failure.size) + "件は、読むとダウンロードされるので読みません";
    case ReportReason::system_excluded: return "Windowsがバックアップしないものとして挙げているので除外します";
    case ReportReason::watch_overrun:
        return "変更が一度に多すぎて見張りが追いつきませんでした。回が巡ってきたときにバックアップします";
    case ReportReason::watch_unavailable:
        return "このフォルダの変更は見張れません（" + code_text(failure.code) + "）。回が巡ってきたときにバックアップします";
    case ReportReason::target_not_kept:
        return "今あるファイルを以前のバージョンに残せないため、置き換えませんでした（" + code_text(failure.code) + "）";
    case ReportReason::target_newer: return "復元先の方が新しいので、そのままにしました";
    case ReportReason::system_error: break;
    }
    return code_text(failure.code);
}

std::string reason_with_tries(const Failure& failure)
{
    std::string text = reason_text(failure);
    if (failure.tries > 0)
        text += "（" + std::to_string(failure.tries) + "回続けて失敗したので次へ進みました）";
    return text;
}

bool is_disk_full(unsigned long code)
{
    const KnownCode* k = known(code);
    return k != nullptr && k->words == kFull;
}

bool is_backup_wide(unsigned long code)
{
    const KnownCode* k = known(code);
    return k != nullptr && k->backup_wide;
}

std::string format_pass_begin(const ReportTime& time, int run_mode, StartKind kind, bool resumed)
{
    static const char* const kHow[] = {"手動で開始", "スケジュールで開始", "自動起動で開始", "エラー後に再開"};
    int how = static_cast<int>(kind);
    std::string line = report_stamp(time) + "\t開始\t" + (run_mode == 1 ? "連続BackUP" : "待機BackUP") + "\t" +
                       kHow[how >= 0 && how < 4 ? how : 0];
    if (resumed)
        line += "\t前回の続きから";
    return line + "\r\n";
}

std::string format_not_backed_up(const ReportTime& time, const char* status, int row, const char* source_folder,
                                 const char* path, const Failure& failure)
{
    return report_stamp(time) + "\t" + entry_fields(status, row, source_folder, path) + "\t" + reason_with_tries(failure) +
           "\r\n";
}

std::string format_waiting(const ReportTime& time, const char* status, int row, const char* source_folder,
                           const char* path, const Failure& failure)
{
    return report_stamp(time) + "\t待機\t" + entry_fields(status, row, source_folder, path) + "\t" + reason_text(failure) +
           "。戻るまで待ちます\r\n";
}

std::string format_pass_end(const ReportTime& time, bool stopped, const PassTally& tally)
{
    char text[160];
    std::snprintf(text, sizeof text, "\tコピー %d件\t最新 %d件\tバックアップできず %d件\t", tally.copied,
                  tally.up_to_date, tally.missed);
    char taken[32];
    std::snprintf(taken, sizeof taken, "バイト\t%lu:%02lu:%02lu", static_cast<unsigned long>(tally.seconds / 3600),
                  static_cast<unsigned long>(tally.seconds / 60 % 60), static_cast<unsigned long>(tally.seconds % 60));
    char versions[96];
    std::snprintf(versions, sizeof versions, "\t以前のバージョン 残した %d件 消した %d件", tally.versions_kept,
                  tally.versions_removed);
    // Only a pass that left cloud files unread says so: every other end line
    // stays as it always was.
    std::string cloud = tally.cloud_only > 0 ? "\tクラウドのみ " + std::to_string(tally.cloud_only) + "件" : "";
    return report_stamp(time) + (stopped ? "\t停止" : "\t完了") + text + grouped(tally.bytes) + taken + versions + cloud +
           "\r\n";
}

std::string format_event(const ReportTime& time, const char* what, const char* detail)
{
    return report_stamp(time) + "\t" + what + "\t" + detail + "\r\n";
}

std::string missed_status_text(int missed)
{
    return "×" + std::to_string(missed);
}

int missed_of_status_text(const char* text)
{
    static const char kMark[] = "×";
    std::size_t mark = sizeof kMark - 1;
    if (std::strncmp(text, kMark, mark) != 0)
        return 0;
    long n = 0;
    for (const char* p = text + mark; *p != 0; ++p) {
        if (*p < '0' || *p > '9' || n > 100000000)
            return 0;
        n = n * 10 + (*p - '0');
    }
    return static_cast<int>(n);
}
