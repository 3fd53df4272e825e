#include "db/DaoException.h"
#include "db/Store.h"

Store& StoreFor(const StoreFile& file) {
    if (file.format == StoreFormat::Sqlite) return SqliteStore();
    if (file.format == StoreFormat::Odbc) return OdbcStore();
#ifdef _WIN32
    // Only a Jet engine writes Jet files safely; Windows carries one behind its Access driver.
    return OdbcStore();
#endif
    ThrowDaoException(DaoError::UnrecognizedFormat,
                      "Unrecognized database format '" + file.path +
                          "'. It is a Jet database; this engine reads SQLite databases.");
}
