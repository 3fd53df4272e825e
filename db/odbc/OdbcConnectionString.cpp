#include "db/odbc/OdbcConnectionString.h"

#include <strings.h>

#include "db/RecordsetCursor.h"

namespace {

constexpr const char kPrefix[] = "ODBC;";
constexpr const char* kSpace = " \t\r\n\v\f";

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool StartsWithAnyCase(const std::string& text, std::size_t at, const char* word,
                       std::size_t length) {
    return text.size() - at >= length && strncasecmp(text.c_str() + at, word, length) == 0;
}

// Where a braced value that starts at open ends (the closing brace), "}}" standing for one
// brace; npos when it is never closed.
std::size_t ClosingBrace(const std::string& text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] != '}') continue;
        if (i + 1 < text.size() && text[i + 1] == '}') {
            ++i;
            continue;
        }
        return i;
    }
    return std::string::npos;
}

}  // namespace

bool IsOdbcDatabaseName(const std::string& name) {
    return name.size() >= sizeof kPrefix - 1 &&
           strncasecmp(name.c_str(), kPrefix, sizeof kPrefix - 1) == 0;
}

std::string OdbcConnectionOf(const std::string& name) {
    return IsOdbcDatabaseName(name) ? name.substr(sizeof kPrefix - 1) : name;
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
        // A value in braces, spaces before its brace allowed, ends at its closing brace.
        const std::size_t value = connection.find_first_not_of(kSpace, equals + 1);
        if (value != std::string::npos && connection[value] == '{') {
            const std::size_t close = ClosingBrace(connection, value);
            const std::size_t last = close == std::string::npos ? connection.size() : close;
            for (std::size_t i = value + 1; i < last; ++i) {
                attribute.value += connection[i];
                if (connection[i] == '}') ++i;  // "}}"
            }
            const std::size_t end =
                close == std::string::npos ? close : connection.find(';', close);
            at = end == std::string::npos ? connection.size() : end + 1;
        } else {
            const std::size_t end = connection.find(';', equals + 1);
            attribute.value = connection.substr(
                equals + 1, (end == std::string::npos ? connection.size() : end) - equals - 1);
            at = end == std::string::npos ? connection.size() : end + 1;
        }
        attributes.push_back(std::move(attribute));
    }
    return attributes;
}

std::string UnclosedBraceKeyword(const std::string& connection) {
    std::size_t at = 0;
    while (at < connection.size()) {
        const std::size_t equals = connection.find('=', at);
        const std::size_t semicolon = connection.find(';', at);
        if (equals == std::string::npos) return {};
        if (semicolon != std::string::npos && semicolon < equals) {
            at = semicolon + 1;
            continue;
        }
        const std::size_t value = connection.find_first_not_of(kSpace, equals + 1);
        if (value != std::string::npos && connection[value] == '{') {
            const std::size_t close = ClosingBrace(connection, value);
            if (close == std::string::npos) {
                const std::string keyword = Trim(connection.substr(at, equals - at));
                return keyword.empty() ? std::string("(no keyword)") : keyword;
            }
            const std::size_t end = connection.find(';', close);
            at = end == std::string::npos ? connection.size() : end + 1;
        } else {
            const std::size_t end = connection.find(';', equals + 1);
            at = end == std::string::npos ? connection.size() : end + 1;
        }
    }
    return {};
}

std::string AttributeValue(const std::string& connection, const std::string& keyword) {
    // A driver reads the first of repeated keywords.
    for (const OdbcAttribute& attribute : ParseConnectionString(connection)) {
        if (SameName(attribute.keyword, keyword)) return attribute.value;
    }
    return {};
}

bool HasKeyword(const std::string& connection, const std::string& keyword) {
    for (const OdbcAttribute& attribute : ParseConnectionString(connection)) {
        if (SameName(attribute.keyword, keyword)) return true;
    }
    return false;
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

std::string MaskPasswords(const std::string& text) {
    std::string masked;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t word = 0;
        if (StartsWithAnyCase(text, at, "password", 8)) {
            word = 8;
        } else if (StartsWithAnyCase(text, at, "pwd", 3)) {
            word = 3;
        }
        const std::size_t equals =
            word == 0 ? std::string::npos : text.find_first_not_of(kSpace, at + word);
        if (equals == std::string::npos || text[equals] != '=') {
            masked += text[at++];
            continue;
        }
        masked.append(text, at, equals + 1 - at);
        masked += "***";
        // The value ends at the closing brace of a braced value (the end of the text when there
        // is none), otherwise at the next ';'.
        std::size_t value = text.find_first_not_of(kSpace, equals + 1);
        std::size_t end = text.size();
        if (value != std::string::npos && text[value] == '{') {
            const std::size_t close = ClosingBrace(text, value);
            end = close == std::string::npos ? text.size() : close + 1;
        } else if (const std::size_t semicolon = text.find(';', equals + 1);
                   semicolon != std::string::npos) {
            end = semicolon;
        }
        at = end;
    }
    return masked;
}

std::string ShortenedForMessages(const std::string& text) {
    constexpr std::size_t kLongest = 260;
    if (text.size() <= kLongest) return text;
    return text.substr(0, kLongest - 3) + "...";
}

std::string OdbcDisplayName(const std::string& connection) {
    for (const char* keyword : {"Database", "DBQ"}) {
        if (std::string file = AttributeValue(connection, keyword); !file.empty()) {
            return ShortenedForMessages(MaskPasswords(file));
        }
    }
    if (std::string dsn = AttributeValue(connection, "DSN"); !dsn.empty()) {
        return ShortenedForMessages(MaskPasswords("ODBC data source " + dsn));
    }
    std::string shown;
    for (const OdbcAttribute& attribute : ParseConnectionString(connection)) {
        if (SameName(attribute.keyword, "PWD") || SameName(attribute.keyword, "Password")) continue;
        shown += (shown.empty() ? "" : ";") + attribute.keyword + "=" +
                 QuoteAttributeValue(attribute.value);
    }
    return ShortenedForMessages(MaskPasswords(shown));
}

std::string AccessConnectionString(const std::string& driver, const std::string& path,
                                   const std::string& systemDB, const std::string& user,
                                   const std::string& password, bool readOnly) {
    std::string connection = "Driver={" + driver + "};DBQ=" + QuoteAttributeValue(path);
    if (readOnly) connection += ";ReadOnly=1";
    if (!systemDB.empty()) connection += ";SystemDB=" + QuoteAttributeValue(systemDB);
    if (!user.empty()) {
        connection += ";UID=" + QuoteAttributeValue(user) + ";PWD=" + QuoteAttributeValue(password);
    }
    return connection;
}
