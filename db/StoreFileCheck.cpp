#include "db/StoreFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "db/DaoException.h"
#include "db/odbc/OdbcConnectionString.h"

namespace {

constexpr char kSqliteHeader[] = "SQLite format 3";  // followed by its terminating zero
constexpr std::size_t kJetVersionOffset = 0x14;

bool HeaderSays(const char* header, std::size_t length, const char* text) {
    const std::size_t textLength = std::strlen(text);
    return length >= 4 + textLength && std::memcmp(header + 4, text, textLength) == 0;
}

[[noreturn]] void NotFound(const std::string& path) {
    ThrowDaoException(DaoError::FileNotFound, "Could not find file '" + path + "'.");
}

}  // namespace

StoreFile CheckStoreFile(const std::string& path) {
    // A connection string: the driver finds (or misses) the database itself.
    if (IsOdbcDatabaseName(path)) return StoreFile{path, StoreFormat::Odbc, {}};
    if (path.empty()) NotFound(path);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == EACCES) {
            ThrowDaoException(DaoError::NoPermission,
                              "You do not have permission to open the database '" + path + "'.");
        }
        if (errno == ENAMETOOLONG) {
            ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is not a valid path.");
        }
        NotFound(path);
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowDaoException(DaoError::InvalidPath,
                          "'" + path + "' is a folder, not a database file.");
    }
    // A pipe, device or socket would block the open or the read below, or never end.
    if (!S_ISREG(info.st_mode)) {
        ThrowDaoException(DaoError::InvalidPath, "'" + path + "' is not a database file.");
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ThrowDaoException(DaoError::NoPermission,
                          "You do not have permission to open the database '" + path + "'.");
    }
    char header[32] = {};
    const ssize_t got = read(fd, header, sizeof header);
    close(fd);
    const std::size_t length = got > 0 ? static_cast<std::size_t>(got) : 0;
    StoreFile file{path,
                   StoreFormat::Sqlite,
                   {static_cast<unsigned long long>(info.st_dev),
                    static_cast<unsigned long long>(info.st_ino)}};
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
