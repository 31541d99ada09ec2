#pragma once

namespace platform {

// Holds the C library's allocator to two pools of memory for the whole
// process, and hands large blocks back to the system when they are freed.
// By default it gives every thread that allocates a pool of its own (up to
// eight per core) and keeps what each frees for that thread, and keeps
// freed large blocks too: the list's reading threads, the search's two
// cores and the lists of rows of one search after another then hold tens
// of megabytes that are used no more, and the process's peak memory
// wanders from run to run. Call first thing in main(), before any thread
// starts.
void limitAllocatorArenas();

} // namespace platform
