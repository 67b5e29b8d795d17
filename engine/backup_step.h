// One unit of progress of a backup run: at most one file copied.
#pragma once
#include "engine/step_file.h"

struct Engine;

// Gives what the worker's pause after the step follows: whether the step's
// file failed and is kept for a next try, and whether it copied a file.
StepEnd backup_step(Engine& engine);
