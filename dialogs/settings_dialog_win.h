// The settings dialog (dialog 3, "環境設定"): shows the Settings record and
// writes the user's choices back into it on OK; Cancel and the close box
// leave it as it was. Nothing is saved to set.ini here.
#pragma once
#include <windows.h>

#include <functional>

#include "dialogs/settings_dialog_rules.h"
#include "engine/settings.h"
#include "resources/resource.h"

// The dialog's drop-down boxes and the setting each one edits.
struct BoxControl {
    int id;
    SettingsBox box;
};

// In the order the dialog fills them.
constexpr BoxControl kTransferBoxes[] = {
    {IDC_SET_DATA_SIZE, SettingsBox::data_size},       {IDC_SET_DATA_TIME, SettingsBox::data_time},
    {IDC_SET_START_TIME, SettingsBox::start_time},     {IDC_SET_RESTART_TIME, SettingsBox::restart_time},
    {IDC_SET_ERROR_MODE, SettingsBox::rw_error_mode}, {IDC_SET_VERSION_DAYS, SettingsBox::version_days},
};
// In the order of schedule_boxes_enabled.
constexpr BoxControl kScheduleBoxes[kScheduleBoxCount] = {
    {IDC_SET_MONTH, SettingsBox::set_t_mon},  {IDC_SET_DAY, SettingsBox::set_t_mday},
    {IDC_SET_WEEKDAY, SettingsBox::set_t_week}, {IDC_SET_HOUR, SettingsBox::set_t_hour},
    {IDC_SET_MINUTE, SettingsBox::set_t_min},
};

// How many old versions a pass would remove at these days, under every
// backup folder of the list.
using VersionsPast = std::function<int(int days)>;

// Modal. The menu command hands over the main window's list view; the dialog
// reads nothing from it, and as its parent the dialog box is owned by the
// list view's main window. OK refuses a number box without a number and
// patterns to leave out that check_patterns refuses, and
// asks before fewer days let versions_past's versions go (never asked when
// it is empty). Returns 1 whichever way the dialog closes.
INT_PTR show_settings_dialog(HWND list_view, Settings& settings, const VersionsPast& versions_past = {});
