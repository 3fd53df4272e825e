#pragma once

// The name of a VFS in front of the process's current default one that hands each record of a
// rollback journal (page number, page, checksum) to the system in one write instead of three.
// Rewriting every row of a large table journals every page, and those small writes were a third
// of a run's system calls. Nothing is held back past the record: the record's last part writes
// the whole of it, and any other call on the journal writes what is held first. Registered on
// first use for each default VFS; never fails (the default VFS's own name where it cannot be
// registered).
const char* JournalRecordVfsName();
