#include "app/status_text.h"

#include <cstdio>

#include "engine/run_state.h"

// The run state as the user reads it: an active run names its mode; a run
// stopped by an error waits for its restart ("一時停止中") until the restart
// timer or the user ends the pause.
static const char* run_state_text(const RunFlags& flags)
{
    if (run_active(flags))
        return flags.run_mode.load() == 1 ? "連続Backup中" : "待機Backup中";
    return flags.paused.load() != 0 ? "一時停止中" : "停止中";
}

void format_status_texts(const ProgressState& progress, const RunFlags& flags, int row_count,
                         char (&texts)[kStatusParts][kStatusTextSize], int missed)
{
    // Each counter is read once; the values may mix two moments of a run,
    // which the status bar accepts.
    std::snprintf(texts[0], kStatusTextSize, "LIST=%d/%d", static_cast<int>(progress.fmove_point.load()),
                  row_count);
    std::snprintf(texts[1], kStatusTextSize, "Folder=%d/%d", static_cast<int>(progress.folder_count.load()),
                  static_cast<int>(progress.folder_max.load()));
    std::snprintf(texts[2], kStatusTextSize, "File=%d/%d", static_cast<int>(progress.file_count.load()),
                  static_cast<int>(progress.file_max.load()));
    std::snprintf(texts[3], kStatusTextSize, "%s", run_state_text(flags));
    if (missed > 0)
        std::snprintf(texts[4], kStatusTextSize, "未バックアップ %d件", missed);
    else
        std::snprintf(texts[4], kStatusTextSize, "%s", "by Alder-Works");
}
