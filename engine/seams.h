// The test seams of engine/: one record, reached by engine_seams(), whose
// default values are the program's behaviour. Only tests and the fault
// suite's program (app/test_seams.cpp) change them, before a run or a
// restore starts; a test puts the record back to EngineSeams{} at its end.
#pragma once
#include "engine/copy.h"

struct EngineSeams {
    // What copy_standby calls around its chunks (copy.h); empty in the
    // program.
    CopyProbe copy_probe;
    // When 0 or more, every pause takes this many milliseconds, so that a
    // soak makes many passes over a large tree in its time.
    int pause_override_ms = -1;
    // While set, a restore's copy waits this many milliseconds after each
    // chunk it writes, so a test can cancel in the middle of a file.
    unsigned long restore_chunk_delay_ms = 0;
};

EngineSeams& engine_seams();
