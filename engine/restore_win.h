// Getting files back from a backup folder: the listing the restore window
// shows, the plan of a restore, and the job that writes it on a thread of
// its own. Every file is written to a temporary name beside its target and
// moved into place whole; a target that differs is first kept as an old
// version in the backup's folder of versions, so a restore never loses a
// file either.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "engine/restore.h"

struct Engine;

// What a restore window shows: a backup folder, and the source folder its
// files came from ("" when it was opened without a list). A single-file
// entry names its file; the window then shows only that file.
struct RestoreRoot {
    std::string backup_folder;
    std::string source_folder;
    std::string only_name;
};

// One item of a folder of the backup, for the window's list.
struct BackupItem {
    bool folder = false;
    std::string name;
    FileFacts backup;
    FileFacts source;                        // not exists when the source is not known or has none
    Standing standing = Standing::source_missing;
    int versions = 0;                        // old versions kept of this file
};

// The items of one folder of the backup (relative "" or "\a\b"): folders
// first, then files, each by name. The folder of old versions at the root
// and the program's own files are left out. False, with the system's code,
// when the folder cannot be listed.
bool list_backup_folder(const RestoreRoot& root, const std::string& relative, std::vector<BackupItem>& out,
                        DWORD& error);

// One version of a file: the backup itself, or an old version with the time
// it was replaced.
struct FileVersion {
    bool is_backup = false;
    std::string path;
    FileFacts facts;
    ReportTime replaced{};  // of an old version
};
// The backup of a file and its old versions, the backup first, then the old
// versions newest first.
std::vector<FileVersion> list_versions(const RestoreRoot& root, const std::string& relative, const char* name);

// What the user picked in the window.
struct RestorePick {
    std::string relative;      // the folder, "" or "\a\b"
    std::string name;          // a file's name, or "" for the whole folder
    std::string version_path;  // a file's old version, or "" for its backup
};

// Why a restore cannot begin at all; nothing is changed then.
enum class RestoreRefusal {
    none,
    backup_missing,        // the backup folder is not there (the drive is unplugged)
    target_drive_missing,  // the target's drive does not exist on this PC
    target_not_folder,     // the target folder cannot be made or is a file
    nothing_to_restore,
};
// The box's text for a refusal, naming the folder or drive.
std::string refusal_text(RestoreRefusal refusal, const std::string& backup_folder, const std::string& target_folder);

struct RestorePlan {
    RestoreRoot root;
    std::string target_folder;  // the source folder, or the folder chosen for "restore anywhere"
    std::vector<RestoreFile> files;
    RestoreCounts counts;
};

// Finds every file the picks restore into target_folder, keeping the
// relative paths, and what is there now.
RestoreRefusal plan_restore(const RestoreRoot& root, const std::vector<RestorePick>& picks,
                            const std::string& target_folder, RestorePlan& plan);

// A restore under way on its own thread. The window reads its progress on
// a timer and cancels it with its button; a cancel ends the file being
// written, whose temporary file goes, and leaves its target as it was.
class RestoreJob {
public:
    RestoreJob() = default;
    ~RestoreJob();
    RestoreJob(const RestoreJob&) = delete;
    RestoreJob& operator=(const RestoreJob&) = delete;

    // replace_newer: the user said yes to newer_question. Lines go to the
    // engine's quillsave.log. False when the thread cannot start.
    bool start(Engine& engine, RestorePlan plan, bool replace_newer);
    void cancel();
    bool running() const;
    // Waits for the thread (after cancel, or at its end).
    void wait();

    int files_total() const { return files_total_; }
    std::uint64_t bytes_total() const { return bytes_total_; }
    int files_done() const { return files_done_.load(); }
    std::uint64_t bytes_done() const { return bytes_done_.load(); }
    // After the end: what the restore came to.
    const RestoreTally& tally() const { return tally_; }

private:
    static DWORD WINAPI thread_main(void* self);
    void run();

    Engine* engine_ = nullptr;
    RestorePlan plan_;
    bool replace_newer_ = false;
    int files_total_ = 0;
    std::uint64_t bytes_total_ = 0;
    std::atomic<int> files_done_{0};
    std::atomic<std::uint64_t> bytes_done_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> running_{false};
    RestoreTally tally_;
    ScopedHandle thread_;
};
