// The test seams of store/: one record, reached by store_seams(), whose
// default values are the program's behaviour. Only tests and the fault
// suite's program (app/test_seams.cpp) change them; a test puts the record
// back to StoreSeams{} at its end.
#pragma once
#include <string>

struct StoreSeams {
    // While on, every write of a program file stops after half of its
    // bytes and fails, as a crash or a full disk would stop it.
    bool cut_writes_in_half = false;
    // The fault suite's: the write of this file (as passed to
    // write_program_file) ends the process with exit code 3 once its
    // temporary file is whole, before it replaces the file. Empty: none.
    std::string end_process_after_temp_of;
};

StoreSeams& store_seams();
