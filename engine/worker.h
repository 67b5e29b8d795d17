// The worker thread that runs backup steps in the background.
#pragma once

struct Engine;

// 0 on success (also when a run is already active), not 0 when the thread
// could not be created.
int start_worker(Engine& engine);
// Clears running and waits (at most 31 tests a second apart) for the worker.
void stop_worker(Engine& engine);
// The stop of a session end: clears running and waits at most ms for the
// worker, also for one an earlier stop left behind, with no dialog and no
// message. True when no worker is alive any more.
bool stop_worker_within(Engine& engine, unsigned ms);
// Whether a worker thread is still alive: during a run, and after a stop
// that gave up waiting until that thread has left its loop. Forgets a
// worker that has ended.
bool worker_alive(Engine& engine);
// The thread's body; exit code 0.
unsigned long worker_loop(Engine& engine);
