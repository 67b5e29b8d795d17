// reset_settings gives every field of set.ini its default.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/run_state.h"
#include "store/settings_store.h"

TEST(ResetSettings, EveryFieldBackToItsDefault)
{
    Settings s;
    std::memset(&s, 0x5A, sizeof s);  // every byte garbage, texts unterminated
    ProgressState p;
    for (auto* f : {&p.fmove_point, &p.dmove_point, &p.folder_max, &p.folder_count, &p.folder_search_flag,
                    &p.file_max, &p.file_count, &p.file_search_flag})
        *f = 77;
    reset_settings(s, p);

    const struct { const char* key; int value, expected; } numbers[] = {
        {"data_size", s.data_size, 131072}, {"data_time", s.data_time, 3},
        {"fmove_point", p.fmove_point, 0}, {"dmove_point", p.dmove_point, 0},
        {"start_time", s.start_time, 120}, {"restart_time", s.restart_time, 60},
        {"rw_error_mode", s.rw_error_mode, 1}, {"folder_max", p.folder_max, 0},
        {"folder_count", p.folder_count, 0}, {"folder_search_flag", p.folder_search_flag, 0},
        {"file_max", p.file_max, 0}, {"file_count", p.file_count, 0},
        {"file_search_flag", p.file_search_flag, 0}, {"set_t_mode", s.set_t_mode, 0},
        {"set_t_mon", s.set_t_mon, 1}, {"set_t_mday", s.set_t_mday, 1},
        {"set_t_week", s.set_t_week, 1}, {"set_t_hour", s.set_t_hour, 1},
        {"set_t_min", s.set_t_min, 1}, {"shutdown_mode", s.shutdown_mode, 0},
        {"conut_save_mode", s.conut_save_mode, 0}, {"thread_dialog_mode", s.thread_dialog_mode, 0},
    };
    for (const auto& n : numbers)
        EXPECT_EQ(n.value, n.expected) << n.key;
    for (const char* text : {s.temp_backup, s.temp_foler_a1, s.temp_foler_a2, s.file_folder})
        EXPECT_STREQ(text, "C:\\");
}
