#include "engine/run_state.h"

void copy_progress(ProgressState& to, const ProgressState& from)
{
    to.fmove_point = from.fmove_point.load();
    to.dmove_point = from.dmove_point.load();
    to.folder_max = from.folder_max.load();
    to.folder_count = from.folder_count.load();
    to.folder_search_flag = from.folder_search_flag.load();
    to.file_max = from.file_max.load();
    to.file_count = from.file_count.load();
    to.file_search_flag = from.file_search_flag.load();
    to.try_count = from.try_count.load();
    to.miss_count = from.miss_count.load();
}
