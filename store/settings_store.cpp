#include "store/settings_store.h"

#include "engine/run_state.h"
#include "engine/text.h"

void reset_settings(Settings& s, ProgressState& progress)
{
    // In the order of set.ini.
    s.data_size = 131072;
    s.data_time = 3;
    progress.fmove_point = 0;
    progress.dmove_point = 0;
    copy_field(s.temp_backup, "C:\\");
    copy_field(s.temp_foler_a1, "C:\\");
    copy_field(s.temp_foler_a2, "C:\\");
    copy_field(s.file_folder, "C:\\");
    s.start_time = 120;
    s.restart_time = 60;
    s.rw_error_mode = 1;
    progress.folder_max = 0;
    progress.folder_count = 0;
    progress.folder_search_flag = 0;
    progress.file_max = 0;
    progress.file_count = 0;
    progress.file_search_flag = 0;
    progress.try_count = 0;
    progress.miss_count = 0;
    s.set_t_mode = 0;
    s.set_t_mon = 1;
    s.set_t_mday = 1;
    s.set_t_week = 1;
    s.set_t_hour = 1;
    s.set_t_min = 1;
    s.shutdown_mode = 0;
    s.conut_save_mode = 0;
    s.thread_dialog_mode = 0;
    s.version_days = kDefaultVersionDays;
}
