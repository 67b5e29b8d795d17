// reset_settings gives every field of set.ini its default, the one of its
// row in kSettingsTable (the bytes of the defaults are store_settings_test's).
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "engine/run_state.h"
#include "engine/settings_table.h"

namespace {

const SettingsKey* row_of_key(const char* key)
{
    for (const SettingsKey& k : kSettingsTable) {
        if (std::strcmp(k.key, key) == 0)
            return &k;
    }
    return nullptr;
}

}  // namespace

TEST(ResetSettings, EveryFieldBackToItsDefault)
{
    Settings s;
    std::memset(&s, 0x5A, sizeof s);  // every byte garbage, texts unterminated
    ProgressState p;
    for (auto* f : {&p.fmove_point, &p.dmove_point, &p.folder_max, &p.folder_count, &p.folder_search_flag,
                    &p.file_max, &p.file_count, &p.file_search_flag, &p.try_count, &p.miss_count})
        *f = 77;
    reset_settings(s, p);

    const struct { const char* key; int value; } numbers[] = {
        {"data_size=", s.data_size}, {"data_time=", s.data_time},
        {"fmove_point=", p.fmove_point}, {"dmove_point=", p.dmove_point},
        {"start_time=", s.start_time}, {"restart_time=", s.restart_time},
        {"rw_error_mode=", s.rw_error_mode}, {"folder_max=", p.folder_max},
        {"folder_count=", p.folder_count}, {"folder_search_flag=", p.folder_search_flag},
        {"file_max=", p.file_max}, {"file_count=", p.file_count},
        {"file_search_flag=", p.file_search_flag}, {"set_t_mode=", s.set_t_mode},
        {"set_t_mon=", s.set_t_mon}, {"set_t_mday=", s.set_t_mday},
        {"set_t_week=", s.set_t_week}, {"set_t_hour=", s.set_t_hour},
        {"set_t_min=", s.set_t_min}, {"shutdown_mode=", s.shutdown_mode},
        {"conut_save_mode=", s.conut_save_mode}, {"thread_dialog_mode=", s.thread_dialog_mode},
        {"version_days=", s.version_days}, {"try_count=", p.try_count}, {"miss_count=", p.miss_count},
    };
    const struct { const char* key; const char* text; } texts[] = {
        {"temp_backup=", s.temp_backup}, {"temp_foler_a1=", s.temp_foler_a1},
        {"temp_foler_a2=", s.temp_foler_a2}, {"file_folder=", s.file_folder},
        {"exclude=", s.exclude},
    };
    ASSERT_EQ(std::size(numbers) + std::size(texts), static_cast<std::size_t>(kSettingsKeyCount));
    for (const auto& n : numbers) {
        const SettingsKey* k = row_of_key(n.key);
        ASSERT_NE(k, nullptr) << n.key;
        EXPECT_EQ(n.value, k->default_number) << n.key;
    }
    for (const auto& t : texts) {
        const SettingsKey* k = row_of_key(t.key);
        ASSERT_NE(k, nullptr) << t.key;
        EXPECT_STREQ(t.text, k->default_text) << t.key;
    }
}
