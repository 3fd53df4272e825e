#include "db/DaoException.h"
#include "db/Store.h"

Store& StoreFor(const StoreFile& file) {
    if (file.format == StoreFormat::Sqlite) return SqliteStore();
    if (file.format == StoreFormat::Odbc) return OdbcStore();
#ifdef _WIN32
    // Only a Jet engine writes Jet files safely; Windows carries one behind its Access driver.
    return OdbcStore();
#else
    // Elsewhere Jet 3 and Jet 4 files are read through libmdb, and never written.
    if (file.format == StoreFormat::Jet3 || file.format == StoreFormat::Jet4) return JetStore();
    ThrowDaoException(DaoError::UnrecognizedFormat,
                      "Unrecognized database format '" + file.path +
                          "'. It is an Access 2007 or later (ACE) database; this engine reads "
                          "SQLite databases and Jet 3 and Jet 4 (.mdb) files.");
#endif
}
