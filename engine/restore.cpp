#include "engine/restore.h"

#include <cctype>
#include <cstring>

#include "engine/copy_rules.h"

namespace {

// The backup disk keeps times coarser than the source's (FAT32 to 2 s), so a
// backup a little older than its source is still its copy.
bool same_time(std::uint64_t a, std::uint64_t b)
{
    return within_time_window(a, b);
}

bool same_file(const FileFacts& backup, const FileFacts& target)
{
    return backup.size == target.size && same_time(backup.written, target.written);
}

std::string count_text(int n)
{
    return std::to_string(n) + "個";
}

}  // namespace

Standing standing_of(const FileFacts& backup, const FileFacts& source)
{
    if (!source.exists)
        return Standing::source_missing;
    if (same_file(backup, source))
        return Standing::same;
    if (source.written > backup.written && !same_time(source.written, backup.written))
        return Standing::source_newer;
    return Standing::backup_newer;
}

const char* standing_text(Standing standing)
{
    switch (standing) {
    case Standing::same: return "元と同じ";
    case Standing::source_newer: return "元の方が新しい";
    case Standing::source_missing: return "元にない";
    case Standing::backup_newer: return "バックアップの方が新しい";
    }
    return "";
}

// Windows makes a short name of at most six characters, "~" and a number,
// and an extension of at most three, all in upper case and plain ASCII.
bool looks_like_short_name(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    std::size_t stem = dot ? static_cast<std::size_t>(dot - name) : std::strlen(name);
    std::size_t ext = dot ? std::strlen(dot + 1) : 0;
    if (stem < 3 || stem > 8 || ext > 3)
        return false;
    const char* tilde = static_cast<const char*>(std::memchr(name, '~', stem));
    if (tilde == nullptr || tilde == name || tilde + 1 == name + stem)
        return false;
    for (const char* p = tilde + 1; p < name + stem; ++p)
        if (!std::isdigit(static_cast<unsigned char>(*p)))
            return false;
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x80 || std::islower(c))
            return false;
    }
    return true;
}

RestoreAction restore_action(const FileFacts& backup, const FileFacts& target, bool picked_one)
{
    if (!target.exists)
        return RestoreAction::write_missing;
    if (same_file(backup, target))
        return RestoreAction::leave_same;
    if (picked_one)
        return RestoreAction::replace_older;
    bool target_newer = target.written > backup.written && !same_time(target.written, backup.written);
    // Same time, other size: nothing says the target is the older one.
    if (target_newer || same_time(target.written, backup.written))
        return RestoreAction::replace_newer;
    return RestoreAction::replace_older;
}

RestoreCounts count_restore(const std::vector<RestoreFile>& files)
{
    RestoreCounts counts;
    for (const RestoreFile& f : files) {
        if (f.to.empty()) {
            ++counts.too_long;
            continue;
        }
        switch (f.action) {
        case RestoreAction::leave_same: ++counts.same; continue;
        case RestoreAction::replace_older: ++counts.replace; break;
        case RestoreAction::replace_newer: ++counts.newer; break;
        case RestoreAction::write_missing: break;
        }
        ++counts.files;
        counts.bytes += f.backup.size;
    }
    return counts;
}

std::string replace_question(int replace)
{
    if (replace <= 0)
        return {};
    return "復元先にあるファイル" + count_text(replace) +
           "を、バックアップの内容で置き換えます。\r\n今あるファイルは、置き換える前にバックアップの「以前のバージョン」に残します。\r\n\r\n置き換えてよろしいですか？";
}

std::string newer_question(int newer)
{
    if (newer <= 0)
        return {};
    return "復元先の方が新しいファイル、またはバックアップと違うファイルが" + count_text(newer) +
           "あります。\r\nこれらも置き換えますか？（今あるファイルは「以前のバージョン」に残します）\r\n\r\n"
           "はい: 置き換える　いいえ: そのままにする　キャンセル: 復元しない";
}

std::string restore_end_text(const RestoreTally& tally)
{
    std::string text = tally.cancelled ? "復元を中止しました。" : "復元が終わりました。";
    text += "\r\n復元したファイル: " + count_text(tally.restored);
    if (tally.kept_versions > 0)
        text += "（置き換える前のファイル" + count_text(tally.kept_versions) + "は「以前のバージョン」に残しました）";
    if (tally.left_out > 0)
        text += "\r\n復元できなかったファイル: " + count_text(tally.left_out) + "（" +
                reason_text(tally.first_failure) + "など）";
    if (tally.short_names > 0)
        text += "\r\n" + count_text(tally.short_names) +
                "のファイルは、名前がShift-JISで表せなかったため、バックアップにある短い名前で復元しました。";
    if (tally.left_out > 0 || tally.short_names > 0)
        text += "\r\nどのファイルかは報告（quillsave.log）にあります。";
    return text;
}

std::string format_restore_begin(const ReportTime& time, const char* backup_folder, const char* target_folder)
{
    return report_stamp(time) + "\t復元開始\t" + backup_folder + "\t" + target_folder + "\r\n";
}

std::string format_restored(const ReportTime& time, const RestoreFile& file, bool kept_version, bool short_name)
{
    std::string how = file.action == RestoreAction::write_missing ? "なかったので書きました" : "置き換えました";
    if (kept_version)
        how += "（今あったファイルは以前のバージョンに残しました）";
    if (short_name)
        how += "。名前がShift-JISで表せないため、バックアップにある短い名前のままです";
    return report_stamp(time) + "\t復元\t" + file.from + "\t" + file.to + "\t" + how + "\r\n";
}

std::string format_not_restored(const ReportTime& time, const RestoreFile& file, const Failure& failure)
{
    return report_stamp(time) + "\t復元せず\t" + file.from + "\t" + (file.to.empty() ? file.relative + "\\" + file.name : file.to) +
           "\t" + reason_text(failure) + "\r\n";
}

std::string format_restore_end(const ReportTime& time, const RestoreTally& tally)
{
    return report_stamp(time) + "\t" + (tally.cancelled ? "復元中止" : "復元終了") + "\t復元 " +
           std::to_string(tally.restored) + "件\t復元せず " + std::to_string(tally.left_out) + "件\t同じ " +
           std::to_string(tally.same) + "件\r\n";
}
