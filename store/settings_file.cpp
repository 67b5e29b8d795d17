// set.ini: 28 lines "key=value" in the order of kSettingsTable (the 26
// of the first files, then version_days), the lines of the run position
// that only a run with failures needs, written only when not 0, and the
// user's exclusions last. The readers of before skip the keys they do not
// know.
#include <cstdio>
#include <cstring>

#include "engine/run_state.h"
#include "engine/settings.h"
#include "engine/settings_table.h"
#include "store/formats.h"

namespace {

constexpr std::size_t longest_key()
{
    std::size_t longest = 0;
    for (const SettingsKey& k : kSettingsTable) {
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
    for (const SettingsKey& k : kSettingsTable) {
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
    for (const SettingsKey& k : kSettingsTable) {
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
