// The restore window.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/restore_win.h"
#include "base/dialog_paint_win.h"
#include "base/list_columns_win.h"
#include "dialogs/folder_browser.h"
#include "dialogs/restore_text.h"
#include "engine/engine.h"
#include "engine/versions.h"
#include "resources/resource.h"

namespace {

const UINT_PTR kProgressTimer = 1;
const int kProgressSteps = 1000;
const char kTitle[] = "ファイルの復元";
// The row that goes up a level has no item behind it.
const LPARAM kUpRow = -1;

// How a control follows the window's edges when it is resized: it keeps its
// distance to the left and top edges unless it moves with or stretches to
// the right or bottom one.
enum Anchor { fixed = 0, stretch_x = 1, move_x = 2, stretch_y = 4, move_y = 8 };
struct Anchored {
    int id;
    int anchor;
};
const Anchored kAnchors[] = {
    {IDC_RESTORE_FOLDER, stretch_x},
    {IDC_RESTORE_OPEN, move_x},
    {IDC_RESTORE_SOURCE, stretch_x},
    {IDC_RESTORE_PLACE, stretch_x},
    {IDC_RESTORE_FILES, stretch_x | stretch_y},
    {IDC_RESTORE_VERSIONS_LABEL, move_y},
    {IDC_RESTORE_VERSIONS, stretch_x | move_y},
    {IDC_RESTORE_TAKES, stretch_x | move_y},
    {IDC_RESTORE_PROGRESS, stretch_x | move_y},
    {IDC_RESTORE_CANCEL, move_x | move_y},
    {IDC_RESTORE_HERE, move_y},
    {IDC_RESTORE_ELSEWHERE, move_y},
    {IDCANCEL, move_x | move_y},
};
const int kAnchorCount = sizeof kAnchors / sizeof kAnchors[0];

struct RestoreWindow {
    Engine* engine = nullptr;  // in: the list, and the report a restore writes
    RestoreHost* host = nullptr;  // in: pauses and resumes the backup run
    RestoreRoot root;         // in/out: the backup shown, changed by "open"
    std::string relative;     // the folder shown, "" or "\a\b"
    std::vector<BackupItem> items;      // of the folder shown, by row lParam
    std::string versions_of;            // the file whose versions are listed
    std::vector<FileVersion> versions;  // of that file, by row lParam
    std::unique_ptr<RestoreJob> job;    // while a restore runs
    // The template's sizes: the smallest window, and the client size the
    // controls' places were taken at.
    SIZE smallest{};
    SIZE laid_out{};
    RECT placed[kAnchorCount]{};
};

HWND control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

int box(HWND dialog, const std::string& text, UINT flags)
{
    return MessageBoxA(dialog, text.c_str(), kTitle, flags);
}

ReportTime local_time(std::uint64_t written)
{
    FILETIME utc = {static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
    FILETIME local;
    SYSTEMTIME t;
    if (written == 0 || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        return ReportTime{};
    return ReportTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void insert_row(HWND list, int row, LPARAM param, const std::vector<std::string>& texts)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(texts[0].c_str());
    item.lParam = param;
    row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t column = 1; column < texts.size(); ++column) {
        LVITEMA sub = {};
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = const_cast<char*>(texts[column].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    }
}

LPARAM row_param(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int next_selected(HWND list, int after)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(LVNI_SELECTED, 0)));
}

// The items behind the selected rows of the file list, "..": left out.
std::vector<const BackupItem*> selected_items(HWND dialog, const RestoreWindow& w)
{
    std::vector<const BackupItem*> picked;
    HWND list = control(dialog, IDC_RESTORE_FILES);
    for (int row = next_selected(list, -1); row >= 0; row = next_selected(list, row)) {
        LPARAM index = row_param(list, row);
        if (index >= 0 && index < static_cast<LPARAM>(w.items.size()))
            picked.push_back(&w.items[static_cast<std::size_t>(index)]);
    }
    return picked;
}

const FileVersion* selected_version(HWND dialog, const RestoreWindow& w)
{
    HWND list = control(dialog, IDC_RESTORE_VERSIONS);
    int row = next_selected(list, -1);
    LPARAM index = row < 0 ? -1 : row_param(list, row);
    if (index < 0 || index >= static_cast<LPARAM>(w.versions.size()))
        return nullptr;
    return &w.versions[static_cast<std::size_t>(index)];
}

std::string version_text(const FileVersion& version)
{
    return version.is_backup ? "バックアップ" : "以前の版 " + restore_time_text(version.replaced);
}

RestoreSelection current_selection(HWND dialog, const RestoreWindow& w)
{
    RestoreSelection s;
    for (const BackupItem* item : selected_items(dialog, w))
        ++(item->folder ? s.folders : s.files);
    s.version_row = selected_version(dialog, w) != nullptr;
    s.at_root = w.relative.empty();
    return s;
}

// What the restore buttons take, as the label says it.
std::vector<RestorePick> current_picks(HWND dialog, const RestoreWindow& w)
{
    RestoreSelection s = current_selection(dialog, w);
    std::vector<const BackupItem*> items = selected_items(dialog, w);
    switch (restore_takes(s)) {
    case RestoreTakes::version: return {{w.relative, items[0]->name, selected_version(dialog, w)->path}};
    case RestoreTakes::selection: {
        std::vector<RestorePick> picks;
        for (const BackupItem* item : items) {
            if (item->folder)
                picks.push_back({relative_into(w.relative, item->name), "", ""});
            else
                picks.push_back({w.relative, item->name, ""});
        }
        return picks;
    }
    case RestoreTakes::folder: return {{w.relative, "", ""}};
    default: return {{"", w.root.only_name, ""}};
    }
}

void show_takes(HWND dialog, const RestoreWindow& w)
{
    const FileVersion* version = selected_version(dialog, w);
    std::string text = takes_text(current_selection(dialog, w), version ? version_text(*version) : "");
    SetDlgItemTextA(dialog, IDC_RESTORE_TAKES, text.c_str());
}

void enable(HWND dialog, int id, bool on)
{
    EnableWindow(control(dialog, id), on ? TRUE : FALSE);
}

// While a restore runs only its cancel (and the close box, which cancels)
// can be used; without a source the files have no own place to go back to.
void enable_controls(HWND dialog, const RestoreWindow& w)
{
    bool idle = w.job == nullptr;
    bool opened = !w.root.backup_folder.empty();
    for (int id : {IDC_RESTORE_OPEN, IDC_RESTORE_FILES, IDC_RESTORE_VERSIONS, IDCANCEL})
        enable(dialog, id, idle);
    enable(dialog, IDC_RESTORE_HERE, idle && opened && !w.root.source_folder.empty());
    enable(dialog, IDC_RESTORE_ELSEWHERE, idle && opened);
    ShowWindow(control(dialog, IDC_RESTORE_PROGRESS), idle ? SW_HIDE : SW_SHOW);
    ShowWindow(control(dialog, IDC_RESTORE_CANCEL), idle ? SW_HIDE : SW_SHOW);
}

void fill_versions(HWND dialog, RestoreWindow& w, const std::string& name)
{
    HWND list = control(dialog, IDC_RESTORE_VERSIONS);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    w.versions_of = name;
    w.versions.clear();
    if (!name.empty())
        w.versions = list_versions(w.root, w.relative, name.c_str());
    for (std::size_t i = 0; i < w.versions.size(); ++i) {
        const FileVersion& v = w.versions[i];
        insert_row(list, static_cast<int>(i), static_cast<LPARAM>(i),
                   {v.is_backup ? "バックアップ" : "以前の版", restore_time_text(local_time(v.facts.written)),
                    restore_size_text(v.facts.size), v.is_backup ? "" : restore_time_text(v.replaced)});
    }
}

// The versions list follows the file list: one file selected shows its
// versions, anything else none.
void on_files_selection(HWND dialog, RestoreWindow& w)
{
    std::vector<const BackupItem*> items = selected_items(dialog, w);
    std::string name = items.size() == 1 && !items[0]->folder ? items[0]->name : "";
    if (name != w.versions_of)
        fill_versions(dialog, w, name);
    show_takes(dialog, w);
}

std::vector<std::string> item_texts(const RestoreRoot& root, const BackupItem& item)
{
    // A folder says so where a file has its size, as Explorer's details do.
    if (item.folder)
        return {item.name, "", "フォルダ", "", ""};
    // Without a source the comparison would say "元にない" of every file.
    std::string standing = root.source_folder.empty() ? "" : standing_text(item.standing);
    return {item.name, restore_time_text(local_time(item.backup.written)), restore_size_text(item.backup.size),
            standing, std::to_string(item.versions)};
}

void show_place(HWND dialog, const RestoreWindow& w)
{
    const RestoreRoot& root = w.root;
    SetDlgItemTextA(dialog, IDC_RESTORE_FOLDER, root.backup_folder.empty() ? "（まだ開いていません）"
                                                                           : root.backup_folder.c_str());
    SetDlgItemTextA(dialog, IDC_RESTORE_SOURCE,
                    root.source_folder.empty() ? "（不明：別の場所へ復元できます）" : root.source_folder.c_str());
    std::string place = root.backup_folder.empty() ? "" : place_text(root.backup_folder, w.relative);
    SetDlgItemTextA(dialog, IDC_RESTORE_PLACE, place.c_str());
}

// A backup folder that is not there is most often a backup drive not
// plugged in: said so, as a restore of it would.
std::string unreadable_backup_text(const RestoreWindow& w, DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || is_backup_wide(error))
        return refusal_text(RestoreRefusal::backup_missing, w.root.backup_folder, "");
    return "バックアップフォルダを読めません：" + reason_text(Failure{ReportReason::system_error, error});
}

void fill_files(HWND dialog, RestoreWindow& w)
{
    HWND list = control(dialog, IDC_RESTORE_FILES);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    w.items.clear();
    fill_versions(dialog, w, "");
    show_place(dialog, w);
    if (!w.root.backup_folder.empty()) {
        DWORD error = 0;
        if (!list_backup_folder(w.root, w.relative, w.items, error))
            box(dialog, unreadable_backup_text(w, error), MB_OK | MB_ICONWARNING);
        int row = 0;
        if (!w.relative.empty())
            insert_row(list, row++, kUpRow, {"..", "", "", "", ""});
        for (std::size_t i = 0; i < w.items.size(); ++i)
            insert_row(list, row++, static_cast<LPARAM>(i), item_texts(w.root, w.items[i]));
    }
    show_takes(dialog, w);
    enable_controls(dialog, w);
}

// Double click or Enter on a row: ".." goes up, a folder goes in; a file
// stays where it is (its versions are already shown).
void on_open_row(HWND dialog, RestoreWindow& w)
{
    HWND list = control(dialog, IDC_RESTORE_FILES);
    int row = next_selected(list, -1);
    if (row < 0)
        return;
    LPARAM index = row_param(list, row);
    if (index == kUpRow)
        w.relative = relative_up(w.relative);
    else if (index >= 0 && index < static_cast<LPARAM>(w.items.size()) && w.items[static_cast<std::size_t>(index)].folder)
        w.relative = relative_into(w.relative, w.items[static_cast<std::size_t>(index)].name);
    else
        return;
    fill_files(dialog, w);
}

// A backup folder opened by hand is a folder entry's when the list has one
// that backs up into it, and then its files have their own place again.
RestoreRoot opened_root(const Engine& engine, const char* folder)
{
    for (int row = 0; row < list_row_count(engine.list); ++row) {
        char name[kFieldSize], source[kFieldSize], destination[kFieldSize];
        list_get_cell(engine.list, row, col_file_name, name);
        list_get_cell(engine.list, row, col_source, source);
        list_get_cell(engine.list, row, col_destination, destination);
        if (name[0] == '*' && same_folder(destination, folder))
            return RestoreRoot{folder, source, ""};
    }
    return RestoreRoot{folder, "", ""};
}

// The browser opens on the backup shown, or else on the destination folder
// last chosen for Add selected: a new PC's first backup folder is likely on
// the disk the user picked there.
void on_open_folder(HWND dialog, RestoreWindow& w)
{
    char chosen[kFieldSize];
    const char* initial =
        w.root.backup_folder.empty() ? w.engine->settings.temp_foler_a1 : w.root.backup_folder.c_str();
    if (!browse_for_folder("復元するバックアップフォルダを選んでください", initial, chosen))
        return;
    w.root = opened_root(*w.engine, chosen);
    w.relative.clear();
    fill_files(dialog, w);
}

// The browser opens on the files' own place, or, for a backup opened without
// a list, on the source folder last chosen for Add selected: where this
// PC's user keeps files.
bool choose_target(const RestoreWindow& w, std::string& target)
{
    char chosen[kFieldSize];
    const char* initial =
        w.root.source_folder.empty() ? w.engine->settings.temp_foler_a2 : w.root.source_folder.c_str();
    if (!browse_for_folder("復元先のフォルダを選んでください（フォルダの中の並びはそのまま）", initial, chosen))
        return false;
    target = chosen;
    return true;
}

// The questions before files are replaced; false when the user cancels.
bool confirm_replacing(HWND dialog, const RestoreCounts& counts, bool& replace_newer)
{
    std::string replace = replace_question(counts.replace);
    if (!replace.empty() && box(dialog, replace, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return false;
    std::string newer = newer_question(counts.newer);
    if (newer.empty())
        return true;
    int answer = box(dialog, newer, MB_YESNOCANCEL | MB_ICONQUESTION);
    replace_newer = answer == IDYES;
    return answer != IDCANCEL;
}

void show_progress(HWND dialog, const RestoreJob& job)
{
    std::uint64_t total = job.bytes_total();
    int step = total > 0 ? static_cast<int>(job.bytes_done() * kProgressSteps / total)
               : job.files_total() > 0 ? job.files_done() * kProgressSteps / job.files_total()
                                       : 0;
    SendMessageA(control(dialog, IDC_RESTORE_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(step), 0);
    std::string text = progress_text(job.files_done(), job.files_total(), job.bytes_done(), total);
    SetDlgItemTextA(dialog, IDC_RESTORE_TAKES, text.c_str());
}

void start_job(HWND dialog, RestoreWindow& w, RestorePlan plan, bool replace_newer)
{
    w.host->pause_run();
    w.job = std::make_unique<RestoreJob>();
    if (!w.job->start(*w.engine, std::move(plan), replace_newer)) {
        w.job.reset();
        w.host->resume_run();
        box(dialog, "復元を始められませんでした（スレッドを起動できません）。", MB_OK | MB_ICONWARNING);
        return;
    }
    SendMessageA(control(dialog, IDC_RESTORE_PROGRESS), PBM_SETRANGE32, 0, kProgressSteps);
    enable_controls(dialog, w);
    show_progress(dialog, *w.job);
    SetFocus(control(dialog, IDC_RESTORE_CANCEL));
    SetTimer(dialog, kProgressTimer, 100, nullptr);
}

// The end of a restore, whether it ran out, was cancelled or the window
// closes: the run goes on, the list shows the files as they now stand, and
// a restore that did not bring everything back, or brought a file back
// under its short name, says so.
void finish_job(HWND dialog, RestoreWindow& w)
{
    KillTimer(dialog, kProgressTimer);
    w.job->wait();
    RestoreTally tally = w.job->tally();
    w.job.reset();
    w.host->resume_run();
    fill_files(dialog, w);
    if (tally.left_out > 0 || tally.short_names > 0 || tally.cancelled)
        box(dialog, restore_end_text(tally), MB_OK | (tally.left_out > 0 ? MB_ICONWARNING : MB_ICONINFORMATION));
}

void on_restore(HWND dialog, RestoreWindow& w, bool elsewhere)
{
    std::string target = w.root.source_folder;
    if (elsewhere && !choose_target(w, target))
        return;
    std::vector<RestorePick> picks = current_picks(dialog, w);
    RestorePlan plan;
    RestoreRefusal refusal = plan_restore(w.root, picks, target, plan);
    // A drive that is not on this PC (the list came from another one) still
    // lets the files come back elsewhere.
    if (refusal == RestoreRefusal::target_drive_missing && !elsewhere) {
        std::string text = refusal_text(refusal, w.root.backup_folder, target);
        if (box(dialog, text, MB_YESNO | MB_ICONQUESTION) != IDYES || !choose_target(w, target))
            return;
        refusal = plan_restore(w.root, picks, target, plan);
    }
    if (refusal != RestoreRefusal::none) {
        box(dialog, refusal_text(refusal, w.root.backup_folder, target), MB_OK | MB_ICONWARNING);
        return;
    }
    bool replace_newer = false;
    if (confirm_replacing(dialog, plan.counts, replace_newer))
        start_job(dialog, w, std::move(plan), replace_newer);
}

void on_timer(HWND dialog, RestoreWindow& w)
{
    if (w.job == nullptr)
        return;
    show_progress(dialog, *w.job);
    if (!w.job->running())
        finish_job(dialog, w);
}

// Closing during a restore cancels it and waits for the file being written
// to be put back as it was.
void on_close(HWND dialog, RestoreWindow& w)
{
    if (w.job != nullptr) {
        w.job->cancel();
        finish_job(dialog, w);
    }
    EndDialog(dialog, 0);
}

void create_columns(HWND dialog)
{
    HWND files = control(dialog, IDC_RESTORE_FILES);
    HWND versions = control(dialog, IDC_RESTORE_VERSIONS);
    for (HWND list : {files, versions})
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // Wide enough for a whole "YYYY/MM/DD hh:mm:ss" and "バックアップの方が新しい".
    insert_list_column(files, 0, "名前", 200);
    insert_list_column(files, 1, "更新日時", 150);
    insert_list_column(files, 2, "サイズ", 100);
    insert_list_column(files, 3, "元と比べて", 170);
    insert_list_column(files, 4, "以前の版", 70);
    insert_list_column(versions, 0, "版", 100);
    insert_list_column(versions, 1, "更新日時", 150);
    insert_list_column(versions, 2, "サイズ", 100);
    insert_list_column(versions, 3, "置き換えた日時", 150);
}

// The places the template gives are the layout at the smallest size; the
// anchors keep them as the window grows.
void take_places(HWND dialog, RestoreWindow& w)
{
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    w.smallest = {window.right - window.left, window.bottom - window.top};
    w.laid_out = {client.right, client.bottom};
    for (int i = 0; i < kAnchorCount; ++i) {
        RECT& r = w.placed[i];
        GetWindowRect(control(dialog, kAnchors[i].id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    }
}

INT_PTR on_size(HWND dialog, RestoreWindow& w, int width, int height)
{
    int dx = width - w.laid_out.cx, dy = height - w.laid_out.cy;
    HDWP moves = BeginDeferWindowPos(kAnchorCount);
    for (int i = 0; i < kAnchorCount && moves != nullptr; ++i) {
        RECT r = w.placed[i];
        int a = kAnchors[i].anchor;
        int x = r.left + (a & move_x ? dx : 0), y = r.top + (a & move_y ? dy : 0);
        int cx = r.right - r.left + (a & stretch_x ? dx : 0), cy = r.bottom - r.top + (a & stretch_y ? dy : 0);
        moves = DeferWindowPos(moves, control(dialog, kAnchors[i].id), nullptr, x, y, cx, cy,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves != nullptr)
        EndDeferWindowPos(moves);
    InvalidateRect(dialog, nullptr, TRUE);
    return TRUE;
}

INT_PTR on_min_max_info(const RestoreWindow& w, MINMAXINFO* info)
{
    info->ptMinTrackSize.x = w.smallest.cx;
    info->ptMinTrackSize.y = w.smallest.cy;
    return TRUE;
}

INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    RestoreWindow& w = *reinterpret_cast<RestoreWindow*>(param);
    take_places(dialog, w);
    create_columns(dialog);
    fill_files(dialog, w);
    // The list takes the keys first: arrows and Enter move through the tree.
    SetFocus(control(dialog, IDC_RESTORE_FILES));
    return FALSE;
}

INT_PTR on_notify(HWND dialog, RestoreWindow& w, const NMHDR* header)
{
    if (header->idFrom == IDC_RESTORE_FILES && header->code == NM_DBLCLK)
        on_open_row(dialog, w);
    else if (header->idFrom == IDC_RESTORE_FILES && header->code == LVN_ITEMCHANGED)
        on_files_selection(dialog, w);
    else if (header->idFrom == IDC_RESTORE_VERSIONS && header->code == LVN_ITEMCHANGED)
        show_takes(dialog, w);
    else
        return FALSE;
    return TRUE;
}

INT_PTR on_command(HWND dialog, RestoreWindow& w, int id)
{
    switch (id) {
    // Enter: the file list's rows open as a double click opens them.
    case IDOK:
        if (GetFocus() == control(dialog, IDC_RESTORE_FILES))
            on_open_row(dialog, w);
        break;
    case IDC_RESTORE_OPEN: on_open_folder(dialog, w); break;
    case IDC_RESTORE_HERE: on_restore(dialog, w, false); break;
    case IDC_RESTORE_ELSEWHERE: on_restore(dialog, w, true); break;
    case IDC_RESTORE_CANCEL:
        if (w.job != nullptr)
            w.job->cancel();
        break;
    case IDCANCEL: on_close(dialog, w); break;
    default: return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK restore_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        return on_init_dialog(dialog, lparam);
    auto* w = reinterpret_cast<RestoreWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (w == nullptr)
        return FALSE;
    switch (message) {
    case WM_NOTIFY: return on_notify(dialog, *w, reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND: return on_command(dialog, *w, LOWORD(wparam));
    case WM_TIMER: on_timer(dialog, *w); return TRUE;
    case WM_SIZE: return on_size(dialog, *w, LOWORD(lparam), HIWORD(lparam));
    case WM_GETMINMAXINFO: return on_min_max_info(*w, reinterpret_cast<MINMAXINFO*>(lparam));
    case WM_PAINT: return validate_dialog_paint(dialog);
    case WM_CLOSE: on_close(dialog, *w); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void show_restore_window(HWND owner, Engine& engine, const RestoreRoot& root, RestoreHost& host)
{
    RestoreWindow w;
    w.engine = &engine;
    w.host = &host;
    w.root = root;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_RESTORE), owner, restore_proc,
                    reinterpret_cast<LPARAM>(&w));
}
