#pragma once

// The name of a VFS in front of the process's current default one that gathers the records of
// a rollback journal (page number, page, checksum: three writes each) into writes of up to
// 64 KiB. Rewriting every row of a large table journals every page, and those small writes were
// a third of a run's system calls. What is gathered reaches the journal before the database
// file is written at a page whose record it holds, before the database is synced, truncated,
// locked or unlocked, and before any other call on the journal, so what a crash leaves always
// puts the file back. Registered on first use for each default VFS; never fails (the default
// VFS's own name where it cannot be registered).
const char* JournalRecordVfsName();
