#include "db/odbc/OdbcError.h"

#include <strings.h>

#include <cstring>

#include "db/DaoException.h"

namespace {

// Which driver a diagnostic comes from decides how its native number reads.
enum class Family { Any, Jet, Sqlite };

// Stands for 3218 when writing and 3045 otherwise: one row serves both.
constexpr int32_t kLockedByAction = -1;

struct Mapping {
    Family family;
    const char* state;  // nullptr: any
    int32_t native;     // 0: any
    const char* text;   // nullptr: any; else a part of the driver's text (any case)
    int32_t code;
};

// First match wins.
constexpr Mapping kMappings[] = {
    // The Access driver reports Jet's own negative codes: every one a user's file or action can
    // cause has the number DAO gives the same fault.
    {Family::Jet, nullptr, -1605, nullptr, DaoError::DuplicateKey},
    {Family::Jet, nullptr, -1809, nullptr, DaoError::ReadOnly},  // read-only file or folder
    {Family::Jet, nullptr, -1808, nullptr, DaoError::DiskFull},
    {Family::Jet, nullptr, -1022, nullptr, DaoError::DiskIo},
    {Family::Jet, nullptr, -1028, nullptr, DaoError::UnrecognizedFormat},
    {Family::Jet, nullptr, -1011, nullptr, 0},  // out of memory
    {Family::Jet, nullptr, -1305, nullptr, DaoError::TableNotFound},
    {Family::Jet, nullptr, -3010, nullptr, DaoError::ItemNotFound},  // too few parameters
    {Family::Jet, nullptr, -1811, nullptr, DaoError::FileNotFound},
    {Family::Jet, nullptr, -1032, nullptr, DaoError::NoPermission},  // opened exclusively
    {Family::Jet, nullptr, -1102, nullptr, kLockedByAction},
    {Family::Jet, nullptr, -1206, nullptr, DaoError::Corrupt},
    {Family::Jet, nullptr, -1023, nullptr, DaoError::InvalidPath},
    // The SQLite driver reports SQLite's result codes, mostly under HY000.
    {Family::Sqlite, nullptr, 19, "unique constraint", DaoError::DuplicateKey},
    {Family::Sqlite, nullptr, 19, "primary key", DaoError::DuplicateKey},
    {Family::Sqlite, nullptr, 19, nullptr, DaoError::ValidationRule},
    {Family::Sqlite, nullptr, 1, "no such table", DaoError::TableNotFound},
    {Family::Sqlite, nullptr, 1, "no such column", DaoError::ItemNotFound},
    {Family::Sqlite, nullptr, 5, nullptr, kLockedByAction},
    {Family::Sqlite, nullptr, 6, nullptr, kLockedByAction},
    {Family::Sqlite, nullptr, 8, nullptr, DaoError::ReadOnly},
    {Family::Sqlite, nullptr, 10, nullptr, DaoError::DiskIo},
    {Family::Sqlite, nullptr, 11, nullptr, DaoError::Corrupt},
    {Family::Sqlite, nullptr, 13, nullptr, DaoError::DiskFull},
    {Family::Sqlite, nullptr, 14, nullptr, DaoError::FileNotFound},  // with NoCreat: no such file
    {Family::Sqlite, nullptr, 18, nullptr, DaoError::FieldTooSmall},
    {Family::Sqlite, nullptr, 23, nullptr, DaoError::NoPermission},
    {Family::Sqlite, nullptr, 26, nullptr, DaoError::UnrecognizedFormat},
    // Any driver: the SQLSTATE.
    {Family::Any, "23000", 0, "duplicate", DaoError::DuplicateKey},
    {Family::Any, "23000", 0, "unique", DaoError::DuplicateKey},
    {Family::Any, "23000", 0, nullptr, DaoError::ValidationRule},
    {Family::Any, "42S02", 0, nullptr, DaoError::TableNotFound},
    {Family::Any, "42S22", 0, nullptr, DaoError::ItemNotFound},
    {Family::Any, "07002", 0, nullptr, DaoError::ItemNotFound},
    {Family::Any, "22001", 0, nullptr, DaoError::FieldTooSmall},
    {Family::Any, "22003", 0, nullptr, DaoError::TypeConversion},
    {Family::Any, "22018", 0, nullptr, DaoError::TypeConversion},
    {Family::Any, "40001", 0, nullptr, kLockedByAction},
    {Family::Any, "HYT00", 0, nullptr, kLockedByAction},
    {Family::Any, "HY001", 0, nullptr, 0},
    {Family::Any, "IM002", 0, nullptr, DaoError::OdbcConnectFailed},
    {Family::Any, "08001", 0, nullptr, DaoError::OdbcConnectFailed},
    {Family::Any, "08004", 0, nullptr, DaoError::OdbcConnectFailed},
    {Family::Any, "28000", 0, nullptr, DaoError::NoPermission},
};

bool Contains(const std::string& text, const char* part) {
    const std::size_t length = std::strlen(part);
    for (std::size_t i = 0; i + length <= text.size(); ++i) {
        if (strncasecmp(text.c_str() + i, part, length) == 0) return true;
    }
    return false;
}

Family FamilyOf(const OdbcDiagnostic& d) {
    if (Contains(d.text, "[SQLite]")) return Family::Sqlite;
    if (d.native < 0 || Contains(d.text, "Access Driver") || Contains(d.text, "Jet")) {
        return Family::Jet;
    }
    return Family::Any;
}

std::string Described(const std::string& what, const std::vector<OdbcDiagnostic>& diagnostics) {
    std::string words;
    for (const OdbcDiagnostic& d : diagnostics) {
        if (d.text.empty()) continue;
        words += (words.empty() ? "" : " ") + d.text;
    }
    return words.empty() ? what + "." : what + ": " + words;
}

}  // namespace

int32_t EngineErrorNumber(const OdbcDiagnostic& d, OdbcAction action) {
    const Family family = FamilyOf(d);
    const int32_t native = family == Family::Sqlite ? (d.native & 0xFF) : d.native;
    for (const Mapping& m : kMappings) {
        if (m.family != Family::Any && m.family != family) continue;
        if (m.state != nullptr && d.state != m.state) continue;
        if (m.native != 0 && m.native != native) continue;
        if (m.text != nullptr && !Contains(d.text, m.text)) continue;
        if (m.code != kLockedByAction) return m.code;
        return action == OdbcAction::Write || action == OdbcAction::Commit ? DaoError::Locked
                                                                           : DaoError::FileInUse;
    }
    if (IsDriverMissing(d)) return DaoError::OdbcConnectFailed;
    return action == OdbcAction::Connect ? DaoError::OdbcConnectFailed : DaoError::OdbcCallFailed;
}

bool IsSqliteReadOnly(const OdbcDiagnostic& d) {
    return FamilyOf(d) == Family::Sqlite && (d.native & 0xFF) == 8;
}

void ThrowPartWayThroughChange(const std::string& file) {
    ThrowDaoException(DaoError::Corrupt,
                      "Cannot read the database '" + file +
                          "': another program left it part way through a change. Open it once "
                          "with that program, so that it finishes or undoes the change, then try "
                          "again.");
}

bool IsDriverMissing(const OdbcDiagnostic& d) {
    // Windows' driver manager says IM002 for an unknown driver name too; unixODBC cannot load it.
    return d.state == "IM002" || Contains(d.text, "Can't open lib");
}

void ThrowOdbcError(const std::vector<OdbcDiagnostic>& diagnostics, const std::string& database,
                    OdbcAction action, const std::string& source) {
    int32_t code =
        action == OdbcAction::Connect ? DaoError::OdbcConnectFailed : DaoError::OdbcCallFailed;
    for (const OdbcDiagnostic& d : diagnostics) {
        if (d.state.rfind("01", 0) == 0 && !IsDriverMissing(d)) continue;  // a warning
        code = EngineErrorNumber(d, action);
        break;
    }
    if (code == 0) throw CMemoryException();
    const std::string quoted = "'" + database + "'";
    const std::string in = source.empty() ? quoted : "'" + source + "' of " + quoted;
    std::string what;
    switch (code) {
        case DaoError::FileNotFound:
            what = "Could not find file " + quoted;
            break;
        case DaoError::TableNotFound:
            what = "The database engine cannot find a table or query that " + in + " names";
            break;
        case DaoError::ItemNotFound:
            what = "Item not found: a column that " + in + " names is missing";
            break;
        case DaoError::DuplicateKey:
            what = "The changes were not saved: they would create a duplicate key in " + in;
            break;
        case DaoError::Locked:
            what = "Could not update; the database " + quoted + " is locked by another program";
            break;
        case DaoError::FileInUse:
            what = "Could not use " + quoted + "; the file is in use by another program";
            break;
        case DaoError::ReadOnly:
            what = "Cannot update. The database " + quoted + " is read-only";
            break;
        case DaoError::NoPermission:
            what = "You do not have permission to use the database " + quoted;
            break;
        case DaoError::UnrecognizedFormat:
            what = "Unrecognized database format " + quoted;
            break;
        case DaoError::DiskFull:
            what = "Not enough space on disk to write to " + quoted;
            break;
        case DaoError::DiskIo:
            what = "Disk or network error while using " + in;
            break;
        case DaoError::Corrupt:
            what = "Cannot open database " + quoted +
                   ". It may not be a database this program recognizes, or the file may be "
                   "corrupt";
            break;
        case DaoError::FieldTooSmall:
            what = "The field is too small to accept the amount of data you attempted to add to " +
                   in + ". Try inserting or pasting less data";
            break;
        case DaoError::InvalidPath:
            what = quoted + " is not a valid path";
            break;
        case DaoError::OdbcConnectFailed:
            what = "ODBC--connection to " + quoted + " failed";
            break;
        default:
            what = "ODBC--call failed on " + in;
            break;
    }
    const std::string description = Described(what, diagnostics);
    // A group that could not be committed lost rows already acknowledged: that ends the run.
    if (action == OdbcAction::Commit) {
        throw CDaoCommitException(
            code, description + " The rows written since the last commit were not saved.");
    }
    ThrowDaoException(code, description);
}
