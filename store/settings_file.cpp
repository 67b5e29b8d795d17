// set.ini: 27 lines "key=value" in the order of the Settings table (the 26
// of the first files, then version_days), then the lines of the run
// position that only a run with failures needs, written only when not 0.
// The readers of before skip the keys they do not know.
#include <cstdio>
#include <cstring>

#include "engine/run_state.h"
#include "store/formats.h"
#include "store/settings.h"

namespace {

// One line of set.ini: exactly one of the three members is set. The key
// includes its "=", so no key is a prefix of another.
struct SettingsKey {
    const char* key;
    int Settings::*number;
    char (Settings::*text)[kFieldSize];
    std::atomic<std::int32_t> ProgressState::*progress;
    bool only_when_set = false;
};

constexpr SettingsKey kKeys[kSettingsKeyCount] = {
    {"data_size=", &Settings::data_size, nullptr, nullptr},
    {"data_time=", &Settings::data_time, nullptr, nullptr},
    {"fmove_point=", nullptr, nullptr, &ProgressState::fmove_point},
    {"dmove_point=", nullptr, nullptr, &ProgressState::dmove_point},
    {"temp_backup=", nullptr, &Settings::temp_backup, nullptr},
    {"temp_foler_a1=", nullptr, &Settings::temp_foler_a1, nullptr},
    {"temp_foler_a2=", nullptr, &Settings::temp_foler_a2, nullptr},
    {"file_folder=", nullptr, &Settings::file_folder, nullptr},
    {"start_time=", &Settings::start_time, nullptr, nullptr},
    {"restart_time=", &Settings::restart_time, nullptr, nullptr},
    {"rw_error_mode=", &Settings::rw_error_mode, nullptr, nullptr},
    {"folder_max=", nullptr, nullptr, &ProgressState::folder_max},
    {"folder_count=", nullptr, nullptr, &ProgressState::folder_count},
    {"folder_search_flag=", nullptr, nullptr, &ProgressState::folder_search_flag},
    {"file_max=", nullptr, nullptr, &ProgressState::file_max},
    {"file_count=", nullptr, nullptr, &ProgressState::file_count},
    {"file_search_flag=", nullptr, nullptr, &ProgressState::file_search_flag},
    {"set_t_mode=", &Settings::set_t_mode, nullptr, nullptr},
    {"set_t_mon=", &Settings::set_t_mon, nullptr, nullptr},
    {"set_t_mday=", &Settings::set_t_mday, nullptr, nullptr},
    {"set_t_week=", &Settings::set_t_week, nullptr, nullptr},
    {"set_t_hour=", &Settings::set_t_hour, nullptr, nullptr},
    {"set_t_min=", &Settings::set_t_min, nullptr, nullptr},
    {"shutdown_mode=", &Settings::shutdown_mode, nullptr, nullptr},
    {"conut_save_mode=", &Settings::conut_save_mode, nullptr, nullptr},
    {"thread_dialog_mode=", &Settings::thread_dialog_mode, nullptr, nullptr},
    {"version_days=", &Settings::version_days, nullptr, nullptr},
    // The failed tries of the file at the position and the files of its
    // entry not backed up: kept with the position, so that an end of the
    // program neither gives a failing file new tries nor loses the count.
    {"try_count=", nullptr, nullptr, &ProgressState::try_count, true},
    {"miss_count=", nullptr, nullptr, &ProgressState::miss_count, true},
};

constexpr std::size_t longest_key()
{
    std::size_t longest = 0;
    for (const SettingsKey& k : kKeys) {
        std::size_t n = 0;
        while (k.key[n])
            ++n;
        longest = n > longest ? n : longest;
    }
    return longest;
}
static_assert(longest_key() == kSettingsKeyMax, "the set.ini window must fit the longest key");

}  // namespace

std::string format_settings(const Settings& settings, const ProgressState& progress)
{
    std::string out;
    for (const SettingsKey& k : kKeys) {
        if (k.only_when_set && (progress.*k.progress).load() == 0)
            continue;
        out += k.key;
        if (k.text) {
            const char* field = settings.*k.text;
            const void* zero = std::memchr(field, 0, kFieldSize);
            out.append(field, zero ? static_cast<const char*>(zero) - field : kMaxText);
        } else {
            long value = k.number ? settings.*k.number : (progress.*k.progress).load();
            char digits[16];
            std::snprintf(digits, sizeof digits, "%ld", value);
            out += digits;
        }
        out += "\r\n";
    }
    return out;
}

void read_settings_line(Settings& settings, ProgressState& progress, const char* line, std::size_t len)
{
    for (const SettingsKey& k : kKeys) {
        std::size_t key_len = std::strlen(k.key);
        if (len < key_len || std::memcmp(line, k.key, key_len) != 0)
            continue;
        const char* value = line + key_len;
        std::size_t value_len = len - key_len;
        if (k.text)
            copy_text(settings.*k.text, kFieldSize, value, value_len);
        else if (k.number)
            settings.*k.number = atoi_compat(value, value_len);
        else
            (progress.*k.progress).store(atoi_compat(value, value_len));
    }
}

void read_settings(Settings& settings, ProgressState& progress, const ByteSource& source)
{
    read_window_lines(kSettingsWindow, source, [&](const char* line, std::size_t len) {
        read_settings_line(settings, progress, line, len);
        return true;
    });
}
