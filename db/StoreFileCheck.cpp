#include "db/StoreFileCheck.h"

#include <cstring>

#include "db/DaoException.h"
#include "db/StoreFileAccess.h"
#include "db/odbc/OdbcConnectionString.h"

namespace {

constexpr char kSqliteHeader[] = "SQLite format 3";  // followed by its terminating zero
constexpr std::size_t kJetVersionOffset = 0x14;

bool HeaderSays(const char* header, std::size_t length, const char* text) {
    const std::size_t textLength = std::strlen(text);
    return length >= 4 + textLength && std::memcmp(header + 4, text, textLength) == 0;
}

}  // namespace

void StoreFileNotFound(const std::string& path) {
    ThrowDaoException(DaoError::FileNotFound, "Could not find file '" + path + "'.");
}

void StoreFileNoPermission(const std::string& path) {
    ThrowDaoException(DaoError::NoPermission,
                      "You do not have permission to open the database '" + path + "'.");
}

void StoreFileInvalidPath(const std::string& path) {
    ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is not a valid path.");
}

void StoreFileIsFolder(const std::string& path) {
    ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is a folder, not a database file.");
}

void StoreFileNotAFile(const std::string& path) {
    ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is not a database file.");
}

StoreFile CheckStoreFile(const std::string& path) {
    // A connection string: the driver finds (or misses) the database itself.
    if (IsOdbcDatabaseName(path)) return StoreFile{path, StoreFormat::Odbc, {}};
    if (path.empty()) StoreFileNotFound(path);
    const StoreFileStart start = ReadStoreFileStart(path);
    const char* header = start.header;
    const std::size_t length = start.length;
    StoreFile file{path, StoreFormat::Sqlite, start.key};
    if (length >= sizeof kSqliteHeader &&
        std::memcmp(header, kSqliteHeader, sizeof kSqliteHeader) == 0) {
        return file;
    }
    // The version byte after the name: 0 for Jet 3, 1 and later for Jet 4.
    if (HeaderSays(header, length, "Standard Jet DB") && length > kJetVersionOffset) {
        file.format = header[kJetVersionOffset] == 0 ? StoreFormat::Jet3 : StoreFormat::Jet4;
        return file;
    }
    if (HeaderSays(header, length, "Standard ACE DB")) {
        file.format = StoreFormat::Ace;
        return file;
    }
    ThrowDaoException(DaoError::UnrecognizedFormat,
                      "Unrecognized database format '" + path + "'. It is not a database file.");
}
