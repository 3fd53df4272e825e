#include "db/sqlite/StoreError.h"

#include <sqlite3.h>

namespace {

std::string InTable(const std::string& table) {
    return table.empty() ? std::string() : " (table '" + table + "')";
}

}  // namespace

CDaoException StoreException(int resultCode, const std::string& file, StoreAction action,
                             const std::string& table, const std::string& detail) {
    const std::string quoted = "'" + file + "'";
    const std::string suffix = detail.empty() ? std::string(".") : ": " + detail + ".";
    switch (resultCode) {
        // A journal or log that another program's crash left beside a file opened only for
        // reading: playing it back would change the file, reading past it would give a torn one.
        case SQLITE_READONLY_ROLLBACK:
        case SQLITE_READONLY_RECOVERY:
            return CDaoException(DaoError::Corrupt,
                                 "Cannot read the database " + quoted +
                                     ": another program left it part way through a change. Open "
                                     "it once with that program, so that it finishes or undoes "
                                     "the change, then try again.");
        default:
            break;
    }
    switch (resultCode & 0xFF) {
        case SQLITE_NOMEM:
            throw CMemoryException();
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            if (action == StoreAction::Write) {
                return CDaoException(DaoError::Locked, "Could not update; the database " + quoted +
                                                           InTable(table) +
                                                           " is locked by another program.");
            }
            return CDaoException(
                DaoError::FileInUse,
                "Could not use " + quoted + "; the file is in use by another program.");
        case SQLITE_READONLY:
            return CDaoException(DaoError::ReadOnly,
                                 "Cannot update. The database " + quoted + " is read-only.");
        case SQLITE_CANTOPEN:
            if (action == StoreAction::Write) {
                return CDaoException(DaoError::ReadOnly,
                                     "Cannot update. The database " + quoted +
                                         " or its folder is read-only, so no change can be saved.");
            }
            return CDaoException(DaoError::InvalidPath,
                                 "The database " + quoted + " cannot be opened" + suffix);
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return CDaoException(DaoError::NoPermission,
                                 "You do not have permission to use the database " + quoted + ".");
        case SQLITE_FULL:
            return CDaoException(DaoError::DiskFull,
                                 "Not enough space on disk to write to " + quoted + ".");
        case SQLITE_IOERR:
            return CDaoException(DaoError::DiskIo, "Disk or network error while using " + quoted +
                                                       InTable(table) + suffix);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return CDaoException(DaoError::Corrupt,
                                 "Cannot open database " + quoted +
                                     ". It may not be a database this program recognizes, or the "
                                     "file may be corrupt.");
        case SQLITE_TOOBIG:
            return CDaoException(DaoError::FieldTooSmall, "A value is too large to be stored in " +
                                                              quoted + InTable(table) + ".");
        case SQLITE_CONSTRAINT:
            return CDaoException(DaoError::ValidationRule,
                                 "The change was refused by a rule of the table" + InTable(table) +
                                     " in " + quoted + suffix);
        default:
            return CDaoException(DaoError::ReservedError, "The database engine failed on " +
                                                              quoted + InTable(table) + suffix);
    }
}

void ThrowStoreError(int resultCode, const std::string& file, StoreAction action,
                     const std::string& table, const std::string& detail) {
    throw StoreException(resultCode, file, action, table, detail);
}

std::string StoreMessage(sqlite3* db) { return db != nullptr ? sqlite3_errmsg(db) : "no store"; }
