// Loading and saving the program's four files and the list files. Every call
// first makes the working directory current again; messages go through the
// notifier (owner: the main window). Writers write a temporary file beside
// the target and move it over the target only when it is complete.
#pragma once

struct Engine;
struct BackupList;

void load_settings(Engine& engine, const char* file_name);
void save_settings(Engine& engine, const char* file_name);
void load_list_file(Engine& engine, const char* file_name);
void save_list_file(Engine& engine, const char* file_name);
void load_folder_table(Engine& engine, const char* file_name);
void save_folder_table(Engine& engine, const char* file_name);
void load_file_table(Engine& engine, const char* file_name);
void save_file_table(Engine& engine, const char* file_name);
