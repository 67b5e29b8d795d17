// The program's four files as the end-to-end tests check them.
#pragma once
#include <string>
#include <vector>

// Each program file in the folder reads back, through the program's own
// readers, into exactly its bytes: nothing cut, nothing a reader drops.
void expect_program_files_whole(const std::string& folder);
// The cells of a row of a saved list.
std::vector<std::string> saved_row(const std::string& folder, int row);
// The names of file.ini and the full paths of folder.ini, in their order.
std::vector<std::string> saved_file_names(const std::string& folder);
std::vector<std::string> saved_folder_paths(const std::string& folder);
