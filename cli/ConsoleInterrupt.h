#pragma once

// Ctrl+C asks the run to stop after its current row instead of ending the program. On Linux
// that is SIGINT; on Windows the console's Ctrl+C, Ctrl+Break and the closing of its window.
void InterruptCancelsRun();
bool InterruptRequested();
// What those handlers do; safe in a signal handler and from any thread.
void RequestInterrupt();
