// Text rules of the restore window: its dates, sizes and progress, where it
// stands in the backup tree, and what a press of a restore button takes.
// No operating system here, so they are tested natively. Paths are read by
// characters (a trail 0x5C of ソ or 表 is no separator).
#pragma once
#include <cstdint>
#include <string>

#include "engine/report.h"

// "YYYY/MM/DD hh:mm:ss"; "" for a time that is not there (year 0).
std::string restore_time_text(const ReportTime& time);
// Bytes grouped by thousands ("1,234,567"): the same unit on every row, so
// sizes compare at a glance and a changed byte shows.
std::string restore_size_text(std::uint64_t bytes);

// The folder below the entry's root ("" or "\a\b") one level in or up.
// Up from the root stays at the root.
std::string relative_into(const std::string& relative, const std::string& name);
std::string relative_up(const std::string& relative);
// The label of where the window stands: the backup folder and the folder
// below it, joined with one separator.
std::string place_text(const std::string& backup_folder, const std::string& relative);

// What a restore takes, from what is selected: one version of one file; the
// selected files and folders; or, with nothing selected, the folder shown,
// which at the root is the whole entry.
enum class RestoreTakes { version, selection, folder, entry };
struct RestoreSelection {
    int files = 0;
    int folders = 0;
    bool version_row = false;  // a row of the versions list is selected
    bool at_root = false;
};
RestoreTakes restore_takes(const RestoreSelection& selection);
// The small label that says it, so that a press of a restore button never
// surprises: version_text names the version ("バックアップ" or its date).
std::string takes_text(const RestoreSelection& selection, const std::string& version_text);

// "ファイル 3 / 10  12,345 / 67,890 バイト" while a restore runs.
std::string progress_text(int files_done, int files_total, std::uint64_t bytes_done, std::uint64_t bytes_total);
