#pragma once

namespace brenvik {

using ExitRoutine = void (*)();

// The routines to run at program end, kept by the program itself (not atexit)
// so that they run before OLE is released rather than after it.
void RegisterExitRoutine(ExitRoutine routine);
// Runs every registered routine once, in the order of registration, and
// forgets them; a second call runs nothing.
void RunExitRoutines();

}  // namespace brenvik
