#include "engine/settings_table.h"

#include "base/text.h"

namespace {

constexpr bool keeps(const SettingRange& range, int value)
{
    return kept_in(range, value) == value;
}

// A default that the dialog or a run would change is a slip in the table:
// a reset would give a record that OK or the first copy rewrites.
constexpr bool defaults_in_range()
{
    for (const SettingsKey& k : kSettingsTable) {
        if (k.number && !(keeps(k.dialog, k.default_number) && keeps(k.run, k.default_number)))
            return false;
    }
    return keeps(kStepPause, row_of(&Settings::data_time).default_number);
}
static_assert(defaults_in_range(), "every default must be a value its ranges keep");

}  // namespace

void reset_settings(Settings& settings, ProgressState& progress)
{
    for (const SettingsKey& k : kSettingsTable) {
        if (k.text)
            copy_field(settings.*k.text, k.default_text);
        else if (k.number)
            settings.*k.number = k.default_number;
        else
            (progress.*k.progress).store(k.default_number);
    }
}
