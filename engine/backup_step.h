// One unit of progress of a backup run: at most one file copied.
#pragma once

struct Engine;

void backup_step(Engine& engine);
