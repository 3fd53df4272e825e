#include "db/sqlite/StoreError.h"

#include <sqlite3.h>

#include "db/DaoException.h"

namespace {

std::string InTable(const std::string& table) {
    return table.empty() ? std::string() : " (table '" + table + "')";
}

}  // namespace

void ThrowStoreError(int resultCode, const std::string& file, StoreAction action,
                     const std::string& table, const std::string& detail) {
    const std::string quoted = "'" + file + "'";
    const std::string suffix = detail.empty() ? std::string(".") : ": " + detail + ".";
    switch (resultCode & 0xFF) {
        case SQLITE_NOMEM:
            throw CMemoryException();
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            if (action == StoreAction::Write) {
                ThrowDaoException(DaoError::Locked, "Could not update; the database " + quoted +
                                                        InTable(table) +
                                                        " is locked by another program.");
            }
            ThrowDaoException(DaoError::FileInUse, "Could not use " + quoted +
                                                       "; the file is in use by another program.");
        case SQLITE_READONLY:
            ThrowDaoException(DaoError::ReadOnly,
                              "Cannot update. The database " + quoted + " is read-only.");
        case SQLITE_CANTOPEN:
            if (action == StoreAction::Write) {
                ThrowDaoException(DaoError::ReadOnly,
                                  "Cannot update. The database " + quoted +
                                      " or its folder is read-only, so no change can be saved.");
            }
            ThrowDaoException(DaoError::InvalidPath,
                              "The database " + quoted + " cannot be opened" + suffix);
        case SQLITE_PERM:
        case SQLITE_AUTH:
            ThrowDaoException(DaoError::NoPermission,
                              "You do not have permission to use the database " + quoted + ".");
        case SQLITE_FULL:
            ThrowDaoException(DaoError::DiskFull,
                              "Not enough space on disk to write to " + quoted + ".");
        case SQLITE_IOERR:
            ThrowDaoException(DaoError::DiskIo, "Disk or network error while using " + quoted +
                                                    InTable(table) + suffix);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            ThrowDaoException(DaoError::Corrupt,
                              "Cannot open database " + quoted +
                                  ". It may not be a database this program recognizes, or the "
                                  "file may be corrupt.");
        case SQLITE_TOOBIG:
            ThrowDaoException(DaoError::FieldTooSmall, "A value is too large to be stored in " +
                                                           quoted + InTable(table) + ".");
        case SQLITE_CONSTRAINT:
            ThrowDaoException(DaoError::ValidationRule,
                              "The change was refused by a rule of the table" + InTable(table) +
                                  " in " + quoted + suffix);
        default:
            ThrowDaoException(DaoError::ReservedError,
                              "The database engine failed on " + quoted + InTable(table) + suffix);
    }
}

std::string StoreMessage(sqlite3* db) { return db != nullptr ? sqlite3_errmsg(db) : "no store"; }
