// The program's four files as the end-to-end tests check them, and the
// environment of the programs a test starts.
#pragma once
#include <string>
#include <vector>

// An environment variable of the programs this test starts (they inherit
// the test's environment), gone again when the test ends.
class ProgramVariable {
public:
    ProgramVariable(const char* name, const std::string& value);
    ~ProgramVariable();
    ProgramVariable(const ProgramVariable&) = delete;
    ProgramVariable& operator=(const ProgramVariable&) = delete;

private:
    const char* name_;
};

// Each program file in the folder reads back, through the program's own
// readers, into exactly its bytes: nothing cut, nothing a reader drops.
void expect_program_files_whole(const std::string& folder);
// The cells of a row of a saved list.
std::vector<std::string> saved_row(const std::string& folder, int row);
// The names of file.ini and the full paths of folder.ini, in their order.
std::vector<std::string> saved_file_names(const std::string& folder);
std::vector<std::string> saved_folder_paths(const std::string& folder);
