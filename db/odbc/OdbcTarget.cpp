#include "db/odbc/OdbcTarget.h"

#include <algorithm>

#include "db/DaoException.h"
#include "db/odbc/OdbcApi.h"
#include "db/odbc/OdbcConnectionString.h"

namespace {

// A value of the ODBC configuration: a data source's (ODBC.INI) or a driver's (ODBCINST.INI).
std::string Profile(const std::string& section, const char* key, const char* file) {
    if (section.empty()) return {};
    char buffer[1024] = {};
    const int length =
        SQLGetPrivateProfileString(section.c_str(), key, "", buffer, sizeof buffer, file);
    if (length <= 0) return {};
    return std::string(buffer,
                       std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

[[noreturn]] void Refuse(const OdbcTarget& target, const std::string& why) {
    ThrowDaoException(DaoError::OdbcConnectFailed,
                      "ODBC--connection to '" + target.shown + "' failed: " + why);
}

std::string Thousands(std::size_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

[[noreturn]] void RefuseLong(const OdbcTarget& target, std::size_t added) {
    Refuse(target, "the connection string is " + Thousands(target.connection.size()) +
                       " bytes long, and ODBC drivers are not sure to read more than " +
                       Thousands(kLongestConnectionString - added) +
                       " bytes of it whole. Shorten it.");
}

// The file as the SQLite driver is given it: always a URI, so that the path is read as a plain
// path whatever it holds, and the open mode is stated.
std::string SqliteUri(const std::string& path, const char* mode) {
    std::string encoded;
    for (char c : path) {
#ifdef _WIN32
        if (c == '\\') c = '/';
#endif
        // The driver reads no braces, so ';' cannot stand in its value; the rest are the URI's.
        if (std::string("%?#;{}").find(c) != std::string::npos) {
            static const char kHex[] = "0123456789ABCDEF";
            encoded += '%';
            encoded += kHex[static_cast<unsigned char>(c) >> 4];
            encoded += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            encoded += c;
        }
    }
    // An absolute path follows an empty authority; a relative one stays relative.
#ifdef _WIN32
    if (encoded.size() >= 2 && encoded[1] == ':') encoded = "/" + encoded;
#endif
    const std::string prefix = !encoded.empty() && encoded.front() == '/' ? "file://" : "file:";
    return prefix + encoded + "?mode=" + mode;
}

}  // namespace

OdbcDriverKind DriverKindOf(const std::string& driverNameOrLibrary) {
    const std::string name = Lower(driverNameOrLibrary);
    if (name.find("sqlite") != std::string::npos) return OdbcDriverKind::Sqlite;
    for (const char* access : {"microsoft access driver", "odbcjt32", "aceodbc"}) {
        if (name.find(access) != std::string::npos) return OdbcDriverKind::Access;
    }
    return OdbcDriverKind::Other;
}

std::string SqliteReadOnlyUri(const std::string& path) { return SqliteUri(path, "ro"); }

OdbcTarget ResolveOdbcTarget(const std::string& name) {
    OdbcTarget target;
    target.connection = OdbcConnectionOf(name);
    target.shown = OdbcDisplayName(target.connection);
    if (const std::string keyword = UnclosedBraceKeyword(target.connection); !keyword.empty()) {
        target.shown = ShortenedForMessages(MaskPasswords(target.connection));
        Refuse(target, "the connection string is malformed: the value of " + keyword +
                           " opens with '{' and is never closed.");
    }
    if (target.connection.find('\0') != std::string::npos) {
        target.shown = ShortenedForMessages(
            MaskPasswords(target.connection.substr(0, target.connection.find('\0'))));
        Refuse(target, "the connection string holds a zero byte.");
    }
    if (target.connection.size() > kLongestConnectionString) RefuseLong(target, 0);
    target.dsn = AttributeValue(target.connection, "DSN");
    target.driver = AttributeValue(target.connection, "Driver");
    const bool ownDriver = !target.driver.empty();
    if (!ownDriver) target.driver = Profile(target.dsn, "Driver", "ODBC.INI");
    target.kind = DriverKindOf(target.driver);
    if (target.kind == OdbcDriverKind::Other) {
        // A driver known by its name in the driver list: its library says which it is.
        target.kind = DriverKindOf(Profile(target.driver, "Driver", "ODBCINST.INI"));
    }
    const char* fileKeyword = target.kind == OdbcDriverKind::Sqlite   ? "Database"
                              : target.kind == OdbcDriverKind::Access ? "DBQ"
                                                                      : nullptr;
    if (fileKeyword != nullptr) {
        target.file = HasKeyword(target.connection, fileKeyword)
                          ? AttributeValue(target.connection, fileKeyword)
                          : Profile(target.dsn, fileKeyword, "ODBC.INI");
    }
    if (!ownDriver && target.dsn.empty() && target.kind == OdbcDriverKind::Other) {
        target.driver.clear();
    }
    return target;
}

std::string DriverConnectionString(const OdbcTarget& target, OdbcAccess access,
                                   long long lockWaitMs) {
    // https://learn.microsoft.com/sql/odbc/reference/syntax/sqldriverconnect-function: "If any
    // keywords are repeated in the connection string, the driver uses the value associated with
    // the first occurrence of the keyword."
    std::string own;
    if (target.kind == OdbcDriverKind::Sqlite) {
        const std::string uri = SqliteUri(target.file, access == OdbcAccess::Read ? "ro" : "rw");
        if (uri.size() > kLongestSqliteDatabase) {
            ThrowDaoException(DaoError::InvalidPath,
                              "The database '" + target.file +
                                  "' cannot be opened through the SQLite ODBC driver: its name "
                                  "is given to the driver as " +
                                  Thousands(uri.size()) + " bytes, and the driver reads at most " +
                                  Thousands(kLongestSqliteDatabase) +
                                  ". Move it to a folder with a shorter path.");
        }
        own = "Database=" + uri + ";NoCreat=1;";
        if (access == OdbcAccess::Read) own += "StepAPI=0;";
        if (!HasKeyword(target.connection, "Timeout") &&
            Profile(target.dsn, "Timeout", "ODBC.INI").empty()) {
            own += "Timeout=" + std::to_string(lockWaitMs) + ";";
        }
    } else if (target.kind == OdbcDriverKind::Access && access == OdbcAccess::Read) {
        own = "ReadOnly=1;";
    }
    const std::string connection = own + target.connection;
    if (connection.size() > kLongestConnectionString) RefuseLong(target, own.size());
    return connection;
}
