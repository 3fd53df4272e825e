#include "db/odbc/OdbcConnectionString.h"

#include <strings.h>

#include "db/RecordsetCursor.h"

namespace {

constexpr const char kPrefix[] = "ODBC;";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool HasKeyword(const std::vector<OdbcAttribute>& attributes, const char* keyword) {
    for (const OdbcAttribute& attribute : attributes) {
        if (SameName(attribute.keyword, keyword)) return true;
    }
    return false;
}

bool NamesSqliteDriver(const std::string& driver) {
    std::string lower;
    for (char c : driver) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower.find("sqlite") != std::string::npos;
}

std::string Appended(const std::string& connection, const std::string& attribute) {
    if (connection.empty() || connection.back() == ';') return connection + attribute;
    return connection + ";" + attribute;
}

}  // namespace

bool IsOdbcDatabaseName(const std::string& name) {
    return name.size() >= sizeof kPrefix - 1 &&
           strncasecmp(name.c_str(), kPrefix, sizeof kPrefix - 1) == 0;
}

std::vector<OdbcAttribute> ParseConnectionString(const std::string& connection) {
    std::vector<OdbcAttribute> attributes;
    std::size_t at = 0;
    while (at < connection.size()) {
        const std::size_t equals = connection.find('=', at);
        const std::size_t semicolon = connection.find(';', at);
        if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
            // A part without a value (or a stray ';'): a keyword alone.
            const std::size_t end = semicolon == std::string::npos ? connection.size() : semicolon;
            if (const std::string keyword = Trim(connection.substr(at, end - at));
                !keyword.empty()) {
                attributes.push_back({keyword, {}});
            }
            at = end + 1;
            continue;
        }
        OdbcAttribute attribute{Trim(connection.substr(at, equals - at)), {}};
        std::size_t value = equals + 1;
        if (value < connection.size() && connection[value] == '{') {
            // Braced: everything up to the closing brace, "}}" standing for one brace.
            std::size_t i = value + 1;
            for (; i < connection.size(); ++i) {
                if (connection[i] != '}') {
                    attribute.value += connection[i];
                } else if (i + 1 < connection.size() && connection[i + 1] == '}') {
                    attribute.value += '}';
                    ++i;
                } else {
                    break;
                }
            }
            const std::size_t end = connection.find(';', i);
            at = end == std::string::npos ? connection.size() : end + 1;
        } else {
            const std::size_t end = connection.find(';', value);
            attribute.value = connection.substr(
                value, (end == std::string::npos ? connection.size() : end) - value);
            at = end == std::string::npos ? connection.size() : end + 1;
        }
        attributes.push_back(std::move(attribute));
    }
    return attributes;
}

std::string AttributeValue(const std::string& connection, const std::string& keyword) {
    for (const OdbcAttribute& attribute : ParseConnectionString(connection)) {
        if (SameName(attribute.keyword, keyword)) return attribute.value;
    }
    return {};
}

std::string QuoteAttributeValue(const std::string& value) {
    const bool plain = value.find_first_of(";{}") == std::string::npos &&
                       (value.empty() || (value.front() != ' ' && value.back() != ' '));
    if (plain) return value;
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}') quoted += '}';
    }
    return quoted + "}";
}

std::string DriverConnectionString(const std::string& name, long long lockWaitMs) {
    std::string connection = IsOdbcDatabaseName(name) ? name.substr(sizeof kPrefix - 1) : name;
    const std::vector<OdbcAttribute> attributes = ParseConnectionString(connection);
    if (NamesSqliteDriver(AttributeValue(connection, "Driver"))) {
        if (!HasKeyword(attributes, "NoCreat")) connection = Appended(connection, "NoCreat=1");
        if (!HasKeyword(attributes, "Timeout")) {
            connection = Appended(connection, "Timeout=" + std::to_string(lockWaitMs));
        }
    }
    return connection;
}

std::string OdbcDisplayName(const std::string& connection) {
    for (const char* keyword : {"Database", "DBQ"}) {
        if (std::string file = AttributeValue(connection, keyword); !file.empty()) return file;
    }
    if (std::string dsn = AttributeValue(connection, "DSN"); !dsn.empty()) {
        return "ODBC data source " + dsn;
    }
    std::string shown;
    for (const OdbcAttribute& attribute : ParseConnectionString(connection)) {
        if (SameName(attribute.keyword, "PWD") || SameName(attribute.keyword, "Password")) continue;
        shown += (shown.empty() ? "" : ";") + attribute.keyword + "=" +
                 QuoteAttributeValue(attribute.value);
    }
    return shown;
}

std::string AccessConnectionString(const std::string& driver, const std::string& path,
                                   const std::string& systemDB, const std::string& user,
                                   const std::string& password) {
    std::string connection = "Driver={" + driver + "};DBQ=" + QuoteAttributeValue(path);
    if (!systemDB.empty()) connection += ";SystemDB=" + QuoteAttributeValue(systemDB);
    if (!user.empty()) {
        connection += ";UID=" + QuoteAttributeValue(user) + ";PWD=" + QuoteAttributeValue(password);
    }
    return connection;
}
