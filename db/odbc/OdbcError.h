#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the store was doing when the driver failed, so the error names the right thing.
enum class OdbcAction { Connect, Read, Write, Commit };

// One diagnostic record of a failed ODBC call: the SQLSTATE, the driver's own (native) error
// number and its text.
struct OdbcDiagnostic {
    std::string state;
    int32_t native = 0;
    std::string text;
};

// The engine's error number for a diagnostic: the Access driver's Jet codes, the SQLite driver's
// result codes and the SQLSTATE classes, in that order. 0 when out of memory.
int32_t EngineErrorNumber(const OdbcDiagnostic& diagnostic, OdbcAction action);

// The driver manager found no such driver or data source.
bool IsDriverMissing(const OdbcDiagnostic& diagnostic);

// The SQLite driver's "attempt to write a readonly database": on a connection that only reads,
// the file has a journal or log another program left that would have to be played back.
bool IsSqliteReadOnly(const OdbcDiagnostic& diagnostic);

// The error for a source another program left part way through a change, worded as the SQLite
// store words it for the same file given directly.
[[noreturn]] void ThrowPartWayThroughChange(const std::string& file);

// Raises the engine error for a failed call: the number of its first mapped record, a plain
// description naming the database (and the table or query) and the driver's own words. A failed
// commit raises CDaoCommitException.
[[noreturn]] void ThrowOdbcError(const std::vector<OdbcDiagnostic>& diagnostics,
                                 const std::string& database, OdbcAction action,
                                 const std::string& source = {});
