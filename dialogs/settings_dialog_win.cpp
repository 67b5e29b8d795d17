// The settings dialog over the text rules of settings_dialog_rules.h: the
// procedure only dispatches; filling the controls and reading them back go
// through the box tables of settings_dialog_win.h and the tables below.
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "dialogs/settings_dialog_win.h"
#include "base/dialog_paint_win.h"
#include "dialogs/help_pages.h"
#include "dialogs/help_pages_win.h"
#include "dialogs/settings_dialog_rules.h"
#include "resources/resource.h"

namespace {

struct SettingsDialog {
    Settings* settings;  // in: shown when the dialog opens; out: written on OK only
    const VersionsPast* versions_past;
};

const char kTitle[] = "環境設定";
constexpr BoxControl kDaysBox = {IDC_SET_VERSION_DAYS, SettingsBox::version_days};

struct ScheduleRadio {
    int id;
    int set_t_mode;
};
constexpr ScheduleRadio kScheduleRadios[] = {
    {IDC_SET_YEARLY, 1}, {IDC_SET_MONTHLY, 2}, {IDC_SET_WEEKLY, 3}, {IDC_SET_DAILY, 4}, {IDC_SET_CONTINUOUS, 0},
};

struct FlagBox {
    int id;
    int Settings::*field;
};
constexpr FlagBox kFlagBoxes[] = {
    {IDC_SET_SHUTDOWN, &Settings::shutdown_mode},
    {IDC_SET_OVERWRITE, &Settings::conut_save_mode},
    {IDC_SET_NO_WAIT_DIALOG, &Settings::thread_dialog_mode},
};

// The items of the list and the record's value in the edit field; no item
// is selected, so a value that is not listed shows all the same.
void fill_box(HWND dialog, const BoxControl& control, const Settings& settings)
{
    HWND box = GetDlgItem(dialog, control.id);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : settings_box_items(control.box, settings))
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    std::string shown = settings_box_text(control.box, settings);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}

bool read_box(HWND dialog, const BoxControl& control, Settings& settings)
{
    char text[kSettingsBoxText] = {};
    GetDlgItemTextA(dialog, control.id, text, sizeof text);
    return read_settings_box(control.box, text, settings);
}

// The record's value back in a box, selected and with the focus, so that
// the user types over it.
void put_back(HWND dialog, const BoxControl& control, const Settings& settings)
{
    SetDlgItemTextA(dialog, control.id, settings_box_text(control.box, settings).c_str());
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, control.id)), TRUE);
    SendDlgItemMessageA(dialog, control.id, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

// Selects bytes [at, at + length) of the text in the exclusion box, which
// has the focus. Windows counts an ANSI box's positions in bytes, Wine in
// characters: where the whole text ends tells which.
void select_in_exclusions(HWND dialog, const char* text, std::size_t at, std::size_t length)
{
    HWND box = GetDlgItem(dialog, IDC_SET_EXCLUDE);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    SendMessageA(box, EM_SETSEL, 0, -1);
    DWORD end = 0;
    SendMessageA(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    std::size_t from = at, to = at + length;
    if (end != std::strlen(text)) {
        from = characters_before(text, from);
        to = characters_before(text, to);
    }
    SendMessageA(box, EM_SETSEL, from, to);
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
}

// The patterns as typed into the record; false, with the box's refusal told
// and the pattern at fault selected, when OK cannot keep them.
bool apply_exclusions(HWND dialog, Settings& settings)
{
    char text[kExclusionBoxText] = {};
    GetDlgItemTextA(dialog, IDC_SET_EXCLUDE, text, sizeof text);
    ExclusionRefusal refusal = read_exclusion_box(text, std::strlen(text), settings);
    if (refusal.message.empty())
        return true;
    MessageBoxA(dialog, refusal.message.c_str(), kTitle, MB_OK | MB_ICONWARNING);
    select_in_exclusions(dialog, text, refusal.at, refusal.length);
    return false;
}

void enable_schedule_boxes(HWND dialog, int set_t_mode)
{
    const auto enabled = schedule_boxes_enabled(set_t_mode);
    for (std::size_t i = 0; i < kScheduleBoxCount; ++i)
        EnableWindow(GetDlgItem(dialog, kScheduleBoxes[i].id), enabled[i]);
}

// A mode outside 1 to 4 checks "連続"; its boxes are still enabled by the
// stored mode, so a strange mode shows every box usable.
void check_schedule_radio(HWND dialog, int set_t_mode)
{
    int shown = set_t_mode >= 1 && set_t_mode <= 4 ? set_t_mode : 0;
    for (const ScheduleRadio& radio : kScheduleRadios)
        CheckDlgButton(dialog, radio.id, radio.set_t_mode == shown ? BST_CHECKED : BST_UNCHECKED);
}

// "連続" and no checked button both give 0.
int checked_schedule_mode(HWND dialog)
{
    int mode = 0;
    for (const ScheduleRadio& radio : kScheduleRadios) {
        if (radio.set_t_mode != 0 && IsDlgButtonChecked(dialog, radio.id) != BST_UNCHECKED)
            mode = radio.set_t_mode;
    }
    return mode;
}

void init_settings_dialog(HWND dialog, const Settings& settings)
{
    for (const BoxControl& control : kTransferBoxes)
        fill_box(dialog, control, settings);
    check_schedule_radio(dialog, settings.set_t_mode);
    // The day list follows the stored month; choosing another month in the
    // dialog does not rebuild it.
    for (const BoxControl& control : kScheduleBoxes)
        fill_box(dialog, control, settings);
    enable_schedule_boxes(dialog, settings.set_t_mode);
    for (const FlagBox& flag : kFlagBoxes)
        CheckDlgButton(dialog, flag.id, settings.*flag.field != 0 ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_SET_EXCLUDE, EM_LIMITTEXT, kExclusionBoxLimit, 0);
    SetDlgItemTextA(dialog, IDC_SET_EXCLUDE, settings.exclude);
}

// Disabled boxes are read like the others. The first box that refuses its
// text, or null when every box was read.
const BoxControl* apply_settings_dialog(HWND dialog, Settings& settings)
{
    for (const BoxControl& control : kTransferBoxes) {
        if (!read_box(dialog, control, settings))
            return &control;
    }
    settings.set_t_mode = checked_schedule_mode(dialog);
    for (const BoxControl& control : kScheduleBoxes) {
        if (!read_box(dialog, control, settings))
            return &control;
    }
    for (const FlagBox& flag : kFlagBoxes)
        settings.*flag.field = IsDlgButtonChecked(dialog, flag.id) != BST_UNCHECKED ? 1 : 0;
    return nullptr;
}

// The next pass removes the versions the new days let go: asked once, and
// only when there are some.
bool versions_may_go(HWND dialog, const SettingsDialog& data, int days)
{
    if (!lets_versions_go(data.settings->version_days, days) || !data.versions_past || !*data.versions_past)
        return true;
    int count = (*data.versions_past)(days);
    if (count <= 0)
        return true;
    return MessageBoxA(dialog, versions_lost_question(days, count).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

SettingsDialog* dialog_data(HWND dialog)
{
    return reinterpret_cast<SettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Keeps the data for the commands; TRUE lets the system set the focus.
INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    init_settings_dialog(dialog, *reinterpret_cast<SettingsDialog*>(param)->settings);
    return TRUE;
}

// A refused box or a "いいえ" keeps the dialog open and the record as it was.
INT_PTR on_ok(HWND dialog)
{
    const SettingsDialog& data = *dialog_data(dialog);
    Settings chosen = *data.settings;
    if (const BoxControl* refused = apply_settings_dialog(dialog, chosen)) {
        MessageBoxA(dialog, settings_box_refusal(refused->box, *data.settings).c_str(), kTitle,
                    MB_OK | MB_ICONWARNING);
        put_back(dialog, *refused, *data.settings);
        return TRUE;
    }
    if (!apply_exclusions(dialog, chosen))
        return TRUE;
    if (!versions_may_go(dialog, data, chosen.version_days)) {
        put_back(dialog, kDaysBox, *data.settings);
        return TRUE;
    }
    *data.settings = chosen;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR on_close(HWND dialog)
{
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR on_help(HWND dialog)
{
    open_help_page(dialog, kHelpPage);
    return TRUE;
}

// The values in the boxes stay; only which boxes are usable changes.
INT_PTR on_schedule_radio(HWND dialog, int set_t_mode)
{
    enable_schedule_boxes(dialog, set_t_mode);
    return TRUE;
}

// Any notification of a radio button counts, as a click does.
INT_PTR on_command(HWND dialog, int id)
{
    for (const ScheduleRadio& radio : kScheduleRadios) {
        if (radio.id == id)
            return on_schedule_radio(dialog, radio.set_t_mode);
    }
    switch (id) {
    case IDC_SET_OK: return on_ok(dialog);
    case IDC_SET_CANCEL: return on_close(dialog);
    // Escape arrives as IDCANCEL: it closes like the Cancel button.
    case IDCANCEL: return on_close(dialog);
    case IDC_SET_HELP: return on_help(dialog);
    default: return FALSE;
    }
}

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG: return on_init_dialog(dialog, lparam);
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    case WM_CLOSE: return on_close(dialog);
    case WM_PAINT: return validate_dialog_paint(dialog);
    default: return FALSE;
    }
}

}  // namespace

INT_PTR show_settings_dialog(HWND list_view, Settings& settings, const VersionsPast& versions_past)
{
    SettingsDialog data = {&settings, &versions_past};
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), list_view,
                           settings_dialog_proc, reinterpret_cast<LPARAM>(&data));
}
