// The watch of a standby run: the source folder of every entry, watched for
// files written, made or renamed into it, so that a saved file is backed up
// within seconds instead of when the pass comes round to it. The pass stays
// the net: what the watch cannot see (a burst past its buffer, a drive that
// does not notify, a change while the program was not running) the pass
// finds in its turn. Nothing here moves the pass's position.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "engine/report.h"
#include "engine/tables.h"

struct Engine;

// A file that changed and has been quiet long enough to be copied: by then
// a save is done.
struct WatchedChange {
    int row = 0;
    std::string entry_source;  // the row's source folder and file name when the watch began
    std::string entry_name;
    std::string folder;    // the file's folder, spelled from the entry's source
    std::string relative;  // that folder's path from the source: "" or "\a\b"
    std::string name;
};

// What the report tells once of an entry's watch.
struct WatchNote {
    int row;
    std::string source;
    ReportReason reason;  // watch_overrun or watch_unavailable
    unsigned long code;
};

class SourceWatch {
public:
    // A change is copied once nothing more has happened to it for this long.
    static constexpr DWORD kQuietMs = 2000;
    // Changes waiting at once, beyond which the pass is left to find them.
    static constexpr std::size_t kMostPending = 4096;
    // Bytes of notices one tree's watch holds between two looks.
    static constexpr DWORD kBufferBytes = 64 * 1024;

    SourceWatch();
    ~SourceWatch();
    SourceWatch(const SourceWatch&) = delete;
    SourceWatch& operator=(const SourceWatch&) = delete;

    // Watches the source folder of every entry of the list.
    void start(Engine& engine);
    // Watches again the entries whose watch ended (a folder deleted and made again).
    void revive(Engine& engine);
    // A pause of ms milliseconds that takes in what the watches report as it
    // comes; true when the stop event ended it.
    bool pause(HANDLE stop_event, DWORD ms);
    // The change that has been quiet longest past kQuietMs, taken out.
    bool take_due(WatchedChange& out);
    std::vector<WatchNote> take_notes();
    std::size_t pending() const { return pending_.size(); }

private:
    struct Tree;
    struct Pending {
        int tree;
        std::string folder, relative, name;
        DWORD changed;  // tick of its last notice
    };

    void watch_row(Engine& engine, int row);
    void revive_tree(Tree& tree);
    void end_tree(Tree& tree);
    void gather(Tree& tree);
    void take_notice(Tree& tree, const wchar_t* name, std::size_t len);
    void note(Tree& tree, ReportReason reason, unsigned long code);

    std::vector<std::unique_ptr<Tree>> trees_;
    std::map<std::string, Pending> pending_;  // by the file's path
    std::vector<WatchNote> notes_;
};
