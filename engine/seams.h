// The test seams of engine/: one record, reached by engine_seams(), whose
// default values are the program's behaviour. Only tests and the fault
// suite's program (app/test_seams.cpp) change them, before a run or a
// restore starts; a test puts the record back to EngineSeams{} at its end.
#pragma once
#include <functional>

// What copy_standby calls around its chunks. before_read(chunk) and
// before_write(chunk) are called before chunk 0, 1, ... is read and written;
// false makes that read fail as on a bad sector, that write as on a full
// disk. before_pause(chunk) is called before the pause after chunk.
// after_replace() is called once the whole copy has replaced the destination,
// where the file system may have changed its times (tunnelling).
struct CopyProbe {
    std::function<bool(int chunk)> before_read;
    std::function<bool(int chunk)> before_write;
    std::function<void(int chunk)> before_pause;
    std::function<void()> after_replace;
};

struct EngineSeams {
    // Empty in the program.
    CopyProbe copy_probe;
    // When 0 or more, every pause takes this many milliseconds, so that a
    // soak makes many passes over a large tree in its time.
    int pause_override_ms = -1;
    // While set, a restore's copy waits this many milliseconds after each
    // chunk it writes, so a test can cancel in the middle of a file.
    unsigned long restore_chunk_delay_ms = 0;
};

EngineSeams& engine_seams();
