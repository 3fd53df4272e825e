#include "db/DaoException.h"
#include "db/Store.h"

Store& StoreFor(const StoreFile& file) {
    if (file.format == StoreFormat::Sqlite) return SqliteStore();
    ThrowDaoException(DaoError::UnrecognizedFormat,
                      "Unrecognized database format '" + file.path +
                          "'. It is a Jet database; this engine reads SQLite databases.");
}
