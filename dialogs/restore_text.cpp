#include "dialogs/restore_text.h"

#include "base/text.h"

std::string restore_time_text(const ReportTime& t)
{
    return t.year == 0 ? std::string() : report_stamp(t);
}

std::string restore_size_text(std::uint64_t bytes)
{
    return grouped(bytes);
}

std::string relative_into(const std::string& relative, const std::string& name)
{
    return relative + "\\" + name;
}

std::string relative_up(const std::string& relative)
{
    std::size_t cut = last_separator(relative.c_str(), relative.size());
    return cut >= relative.size() ? std::string() : relative.substr(0, cut);
}

std::string place_text(const std::string& backup_folder, const std::string& relative)
{
    if (relative.empty() || !ends_in_separator(backup_folder.c_str()))
        return backup_folder + relative;
    return backup_folder + relative.substr(1);
}

RestoreTakes restore_takes(const RestoreSelection& s)
{
    if (s.files == 1 && s.folders == 0 && s.version_row)
        return RestoreTakes::version;
    if (s.files + s.folders > 0)
        return RestoreTakes::selection;
    return s.at_root ? RestoreTakes::entry : RestoreTakes::folder;
}

std::string takes_text(const RestoreSelection& s, const std::string& version_text)
{
    switch (restore_takes(s)) {
    case RestoreTakes::version: return "復元するもの: 選んだファイルの「" + version_text + "」";
    case RestoreTakes::selection: {
        std::string text = "復元するもの: 選んだ";
        if (s.files > 0)
            text += "ファイル " + std::to_string(s.files) + " 件";
        if (s.files > 0 && s.folders > 0)
            text += "と";
        if (s.folders > 0)
            text += "フォルダ " + std::to_string(s.folders) + " 件（中身ごと）";
        return text;
    }
    case RestoreTakes::folder: return "復元するもの: 何も選ばないと、表示中のフォルダ全体";
    default: return "復元するもの: 何も選ばないと、この項目のバックアップ全体";
    }
}

std::string progress_text(int files_done, int files_total, std::uint64_t bytes_done, std::uint64_t bytes_total)
{
    return "ファイル " + std::to_string(files_done) + " / " + std::to_string(files_total) + "   " +
           restore_size_text(bytes_done) + " / " + restore_size_text(bytes_total) + " バイト";
}
