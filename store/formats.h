// The byte formats of set.ini, folder.ini, file.ini and the list files: plain
// functions over bytes, no operating system, so they are tested natively and
// fuzzed. The Win32 side (program_files.cpp, file_access_win.cpp) only opens, reads and writes.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "base/text.h"

struct Settings;
struct ProgressState;
struct BackupList;
struct FolderTable;
struct FileTable;

// Delivers up to `want` bytes into dst and returns how many; 0 ends the file.
using ByteSource = std::function<std::size_t(char* dst, std::size_t want)>;
// Receives one line (without its LF and the byte before it); false stops.
using LineSink = std::function<bool(const char* line, std::size_t len)>;

// Reads lines through a window of `window` bytes, as every reader of the
// program's files does: a line is the text before a LF less its last byte
// (the CR), text after the last LF is never a line, and a line that does not
// fit the window together with its LF ends the reading. An empty line
// without CR is passed as an empty line.
void read_window_lines(std::size_t window, const ByteSource& source, const LineSink& sink);
// A source over bytes held in memory, at most `chunk` bytes per read (0: as
// many as asked), for tests, fuzzers and the readers' callers alike.
ByteSource memory_source(const char* data, std::size_t size, std::size_t chunk = 0);

// set.ini. The window holds the longest key with "=" (19 bytes, as
// "thread_dialog_mode=" and "folder_search_flag="), a 259-byte text and
// CR LF, so every line the program writes is read back.
constexpr std::size_t kSettingsKeyMax = 19;
constexpr std::size_t kSettingsWindow = kSettingsKeyMax + kMaxText + 2;
// The 27 lines "key=value\r\n" up to version_days in the file's order, then
// try_count and miss_count when they are not 0, then exclude.
std::string format_settings(const Settings& settings, const ProgressState& progress);
// Applies one line when it begins with one of the keys and its "=";
// any other line changes nothing.
void read_settings_line(Settings& settings, ProgressState& progress, const char* line, std::size_t len);
// Applies every line read through the set.ini window over what the record
// holds (the caller resets it first).
void read_settings(Settings& settings, ProgressState& progress, const ByteSource& source);

// folder.ini and file.ini: a 259-byte text and CR LF fit the window.
constexpr std::size_t kTableWindow = kMaxText + 2;
// Two lines per folder, three per file ("%s", "%d", "%d"); "" for an empty
// table, whose file is deleted instead of written.
std::string format_folder_table(const FolderTable& table);
std::string format_file_table(const FileTable& table);
// Clear the table, then fill it from the lines until the table's limit, the
// end of the file or a line too long; the rest of a file past the limit is
// not read, as a walk past it stops. An incomplete last group is dropped.
void read_folder_table(FolderTable& table, const ByteSource& source);
void read_file_table(FileTable& table, const ByteSource& source);

// List files. A row is five cells each followed by ","; a cell holding "," or
// '"' is written in double quotes with inner quotes doubled. The window was
// 2598 bytes; it now fits the longest line the quoting can write (five cells
// of 259 quotes: 521 bytes each with quotes and comma, then CR LF), so every
// file the program writes reads back.
constexpr std::size_t kListCells = 5;
constexpr std::size_t kListWindow = kListCells * (2 * kMaxText + 2 + 1) + 2;
std::string format_list_line(const char* const (&cells)[kListCells]);
std::string format_list(const BackupList& list);
// Appends the row a line describes at `row` (the list's row count): field 0
// empty or the line without a comma gives no row. Returns true when a row
// was added.
bool parse_list_line(BackupList& list, int row, const char* line, std::size_t len);
// Empties nothing: appends the rows of every line read through the window.
void read_list(BackupList& list, const ByteSource& source);

// "%sのﾌｧｲﾙが開けません": a program or list file that cannot be opened.
std::string open_failure_text(const char* file_name);
