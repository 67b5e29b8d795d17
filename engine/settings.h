// The Settings record: the user's settings for the whole process, every field
// named by its set.ini key (misspellings included, as the file has them).
// Plain data with no includes, so the engine may read it.
#pragma once

struct Settings {
    int data_size;          // bytes per chunk of a standby copy
    int data_time;          // seconds of pause after each chunk and step
    char temp_backup[260];  // destination last confirmed in the entry editor
    char temp_foler_a1[260];
    char temp_foler_a2[260];
    char file_folder[260];
    int start_time;         // seconds of the start-up timer
    int restart_time;       // seconds before a run paused by an error restarts
    int rw_error_mode;      // 0 keep going, 1 pause, 2 stop, 3 end the program
    int set_t_mode;         // 0 continuous, 1 yearly, 2 monthly, 3 weekly, 4 daily
    int set_t_mon;          // 0 = January
    int set_t_mday;
    int set_t_week;         // 0 = Sunday
    int set_t_hour;
    int set_t_min;
    int shutdown_mode;
    int conut_save_mode;    // 1: continuous copy always overwrites
    int thread_dialog_mode; // 1: no wait dialog when the worker is stopped
    int version_days;       // days old versions of replaced backups are kept; 0 keeps none
    char exclude[260];      // the user's patterns a walk leaves out, apart by ";"; "" leaves out nothing
};
