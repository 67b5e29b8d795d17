// Resource, command and control ids, shared by quillsave.rc and the code.
#pragma once

// Icon groups: the small icon and the tray show which one fits the run.
#define IDI_IDLE 1
#define IDI_RUNNING 2

// Dialogs.
#define IDD_SETTINGS 3
#define IDD_THREAD_WAIT 6
#define IDD_AUTO_START 8

// Controls of the settings dialog, by group as the dialog shows them.
// Standby transfer.
#define IDC_SET_TRANSFER_GROUP 121
#define IDC_SET_DATA_TIME_LABEL 110
#define IDC_SET_DATA_TIME 109
#define IDC_SET_DATA_SIZE_LABEL 108
#define IDC_SET_DATA_SIZE 106
#define IDC_SET_START_TIME_LABEL 107
#define IDC_SET_START_TIME 102
#define IDC_SET_RESTART_TIME_LABEL 128
#define IDC_SET_RESTART_TIME 127
#define IDC_SET_ERROR_MODE_LABEL 126
#define IDC_SET_ERROR_MODE 125
#define IDC_SET_VERSION_DAYS_LABEL 131
#define IDC_SET_VERSION_DAYS 130
// Standby start time.
#define IDC_SET_SCHEDULE_GROUP 122
#define IDC_SET_YEARLY 103
#define IDC_SET_MONTHLY 104
#define IDC_SET_WEEKLY 105
#define IDC_SET_DAILY 114
#define IDC_SET_CONTINUOUS 115
#define IDC_SET_MONTH 116
#define IDC_SET_DAY 117
#define IDC_SET_WEEKDAY 118
#define IDC_SET_HOUR 119
#define IDC_SET_MINUTE 120
// End of a continuous run, and the flags.
#define IDC_SET_CONTINUOUS_GROUP 123
#define IDC_SET_SHUTDOWN 124
#define IDC_SET_OVERWRITE 101
#define IDC_SET_NO_WAIT_DIALOG 129
// What a walk leaves out.
#define IDC_SET_EXCLUDE_LABEL 133
#define IDC_SET_EXCLUDE 132
#define IDC_SET_EXCLUDE_HINT 134
#define IDC_SET_EXCLUDE_EXAMPLE 135
#define IDC_SET_OK 111
#define IDC_SET_CANCEL 112
#define IDC_SET_HELP 113

// Texts of the thread wait dialog.
#define IDC_WAIT_SLEEP 101
#define IDC_WAIT_TITLE 103
#define IDC_WAIT_PLEASE 177

// Menus.
#define IDM_MAIN 30
#define IDM_TRAY 202

// Child windows of the main window.
#define IDC_STATUS_BAR 1
#define IDC_LIST_VIEW 300

// Main menu commands: File.
#define IDM_FILE_NEW 101
#define IDM_FILE_OPEN 102
#define IDM_FILE_SAVE 103
#define IDM_FILE_SAVE_AS 104
#define IDM_EXIT 142
// BackUP.
#define IDM_START_STANDBY 111
#define IDM_STOP 112
#define IDM_START_CONTINUOUS 37827
#define IDM_END_PAUSE 37832
#define IDM_MODE_HELP 37830
#define IDM_TO_TRAY 141
#define IDM_OPEN_REPORT 37834
#define IDM_RESTORE 37835
// List editing.
#define IDM_ADD_SELECTED 37829
#define IDM_ENTRY_NEW 121
#define IDM_ENTRY_EDIT 122
#define IDM_ENTRY_DELETE 123
#define IDM_ENTRY_COPY 124
#define IDM_ENTRY_PASTE 125
#define IDM_ENTRY_PASTE_NEW 126
#define IDM_ADD_ALL 37826
#define IDM_DESELECT 37828
#define IDM_SHOW_FOLDER 127
// Settings.
#define IDM_SETTINGS 151
#define IDM_RESET_SETTINGS 37833
#define IDM_CLEAR_POSITION 152
#define IDM_COPY_NAMES 37831
// Help.
#define IDM_HELP 131
#define IDM_HOME_PAGE 132
#define IDM_ABOUT 133
// Tray menu.
#define IDM_TRAY_RESTORE 191
#define IDM_TRAY_EXIT 192
#define IDM_TRAY_RESTORE_FILES 193

// The entry edit dialog (dialog 1), in its tab order, and its labels.
#define IDD_ENTRY_EDIT 1
#define IDC_ENTRY_NAME 101
#define IDC_ENTRY_SOURCE 102
#define IDC_ENTRY_DESTINATION 103
#define IDC_ENTRY_BROWSE_FILE 108
#define IDC_ENTRY_BROWSE_SOURCE 109
#define IDC_ENTRY_BROWSE_DESTINATION 110
#define IDC_ENTRY_OK 111
#define IDC_ENTRY_CANCEL 112
#define IDC_ENTRY_HELP 113
#define IDC_ENTRY_ALL 114
#define IDC_ENTRY_NAME_LABEL 104
#define IDC_ENTRY_SOURCE_LABEL 105
#define IDC_ENTRY_DESTINATION_LABEL 106

// The folder display (dialog 4): its list is made at opening.
#define IDD_FOLDER_DISPLAY 4
#define IDC_FOLDER_LIST 301

// The folder selection dialog (dialog 9): its item list is made at opening;
// icons 310 to 317 are the list's images, in image order.
#define IDD_FOLDER_SELECT 9
#define IDC_PICK_CREATE 101
#define IDC_PICK_NAME 102
#define IDC_PICK_CONFIRM 105
#define IDC_PICK_FOLDER 106
#define IDC_PICK_LIST 904
#define IDI_PICK_DOTS 310
#define IDI_PICK_FOLDER 311
#define IDI_PICK_FIXED 312
#define IDI_PICK_CDROM 313
#define IDI_PICK_REMOVABLE 314
#define IDI_PICK_REMOTE 315
#define IDI_PICK_RAM 316
#define IDI_PICK_FILE 317

// The information windows (dialogs 2, 5 and 7), modeless, and the about
// box's picture.
#define IDD_ABOUT 2
#define IDD_MODE_HELP 5
#define IDD_COPY_NAMES 7
#define IDB_ABOUT 21
// The copy name window: the two paths and the arrow between them.
#define IDC_COPY_SOURCE 101
#define IDC_COPY_DESTINATION 102
#define IDC_COPY_ARROW 103
// The about box.
#define IDC_ABOUT_FRAME 101
#define IDC_ABOUT_NAME 177
#define IDC_ABOUT_VERSION 105
#define IDC_ABOUT_PURPOSE 106
#define IDC_ABOUT_DEVELOPMENT 109
#define IDC_ABOUT_RELEASE 108
#define IDC_ABOUT_ADDRESS 107
#define IDC_ABOUT_OK 104
// The mode explanation window: its title, two headings with their lines,
// and the button.
#define IDC_MODE_TITLE 177
#define IDC_MODE_STANDBY 103
#define IDC_MODE_STANDBY_1 104
#define IDC_MODE_STANDBY_2 105
#define IDC_MODE_STANDBY_3 106
#define IDC_MODE_CONTINUOUS 107
#define IDC_MODE_CONTINUOUS_1 108
#define IDC_MODE_CONTINUOUS_2 109
#define IDC_MODE_CONTINUOUS_3 110
#define IDC_MODE_CLOSE 101

// The restore window: the backup folder it shows and its button, the
// source, the folder shown, the file list and the versions of the selected
// file, what a restore takes (the progress while one runs), the progress
// bar with its cancel, and the two restore buttons; IDCANCEL closes.
#define IDD_RESTORE 10
#define IDC_RESTORE_FOLDER_LABEL 1001
#define IDC_RESTORE_FOLDER 1002
#define IDC_RESTORE_OPEN 1003
#define IDC_RESTORE_SOURCE_LABEL 1004
#define IDC_RESTORE_SOURCE 1005
#define IDC_RESTORE_PLACE_LABEL 1006
#define IDC_RESTORE_PLACE 1007
#define IDC_RESTORE_FILES 1008
#define IDC_RESTORE_VERSIONS_LABEL 1009
#define IDC_RESTORE_VERSIONS 1010
#define IDC_RESTORE_TAKES 1011
#define IDC_RESTORE_PROGRESS 1012
#define IDC_RESTORE_CANCEL 1013
#define IDC_RESTORE_HERE 1014
#define IDC_RESTORE_ELSEWHERE 1015
