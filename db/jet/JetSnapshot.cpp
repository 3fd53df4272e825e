#include "db/jet/JetSnapshot.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "db/DaoException.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetTableReader.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Quote(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

const char* DeclaredType(const JetColumn& column) {
    switch (column.kind) {
        case JetValueKind::Integer:
            return "INTEGER";
        case JetValueKind::Real:
            return "REAL";
        case JetValueKind::Text:
            return "TEXT COLLATE NOCASE";
        default:
            return "BLOB";
    }
}

// The table a failed prepare names as missing, or "".
std::string MissingTable(const std::string& message) {
    const std::string prefix = "no such table: ";
    if (message.compare(0, prefix.size(), prefix) != 0) return {};
    std::string name = message.substr(prefix.size());
    if (Lower(name.substr(0, 5)) == "main.") name = name.substr(5);
    return name;
}

}  // namespace

std::unique_ptr<JetSnapshot> JetSnapshot::Open(const std::string& path) {
    return std::make_unique<JetSnapshot>(JetFile::Open(path));
}

JetSnapshot::JetSnapshot(std::unique_ptr<JetFile> file) : m_file(std::move(file)) {
    const int rc = sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw CMemoryException();
    }
}

JetSnapshot::~JetSnapshot() { sqlite3_close(m_db); }

const std::string& JetSnapshot::Path() const { return m_file->Path(); }

void JetSnapshot::Fail(const std::string& table) {
    if (sqlite3_errcode(m_db) == SQLITE_NOMEM) throw CMemoryException();
    ThrowDaoException(DaoError::ReservedError, "The database engine failed to copy the table '" +
                                                   table + "' of '" + Path() +
                                                   "': " + sqlite3_errmsg(m_db) + ".");
}

void JetSnapshot::Duplicate(const std::string& table) {
    ThrowDaoException(DaoError::Corrupt,
                      "The Jet database '" + Path() + "' is damaged: table '" + table +
                          "' holds two rows with the same key of one of its "
                          "unique indexes. Nothing is read from a damaged file.");
}

void JetSnapshot::Execute(const std::string& sql, const std::string& table) {
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(table);
}

void JetSnapshot::LoadTablesFor(const std::string& sql) {
    // The statement itself says which tables it needs: each failed prepare names one more.
    const std::size_t limit = m_file->Catalog().size() + 1;
    for (std::size_t round = 0; round <= limit; ++round) {
        sqlite3_stmt* statement = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                          &statement, nullptr);
        sqlite3_finalize(statement);
        if (rc == SQLITE_OK) return;
        const std::string table = MissingTable(sqlite3_errmsg(m_db));
        if (table.empty() || m_loaded.count(Lower(table)) != 0) return;
        LoadTable(table);
    }
}

void JetSnapshot::LoadTable(const std::string& name) {
    if (m_loaded.count(Lower(name)) != 0) return;
    const JetCatalogEntry entry = m_file->FindTable(name);
    JetTableReader reader(*m_file, entry);
    const std::vector<JetColumn>& columns = reader.Columns();

    std::string create = "CREATE TABLE " + Quote(name) + " (";
    std::string insert = "INSERT INTO " + Quote(name) + " VALUES (";
    std::vector<int> all;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        create += (c == 0 ? "" : ", ") + Quote(columns[c].name) + " " + DeclaredType(columns[c]);
        insert += c == 0 ? "?" : ", ?";
        all.push_back(static_cast<int>(c));
    }
    // The table's keys and indexes come along, so a query is planned (and its rows come in the
    // order) as over an SQLite source of the same schema.
    std::vector<std::string> indexes;
    for (const JetIndex& index : reader.Indexes()) {
        std::string keys;
        for (int c : index.columns) keys += (keys.empty() ? "" : ", ") + Quote(columns[c].name);
        if (index.primaryKey) {
            create += ", PRIMARY KEY (" + keys + ")";
        } else {
            indexes.push_back(
                std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " +
                Quote(name + "." + index.name + "." + std::to_string(indexes.size())) + " ON " +
                Quote(name) + " (" + keys + ")");
        }
    }
    create += ")";
    insert += ")";

    Execute("BEGIN", name);
    sqlite3_stmt* statement = nullptr;
    std::uint64_t rows = 0;
    try {
        Execute(create, name);
        if (sqlite3_prepare_v2(m_db, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            Fail(name);
        }
        // Text and blobs are bound in place: the row's values outlive its step, and the bindings
        // are cleared before they go.
        reader.ReadRows(all, [&](const std::vector<JetValue>& row) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                const int p = static_cast<int>(c) + 1;
                const JetValue& value = row[c];
                switch (value.kind) {
                    case JetValueKind::Null:
                        sqlite3_bind_null(statement, p);
                        break;
                    case JetValueKind::Integer:
                        sqlite3_bind_int64(statement, p, value.integer);
                        break;
                    case JetValueKind::Real:
                        sqlite3_bind_double(statement, p, value.real);
                        break;
                    case JetValueKind::Text:
                        sqlite3_bind_text64(statement, p, value.bytes.data(), value.bytes.size(),
                                            SQLITE_STATIC, SQLITE_UTF8);
                        break;
                    case JetValueKind::Blob:
                        sqlite3_bind_blob64(statement, p, value.bytes.data(), value.bytes.size(),
                                            SQLITE_STATIC);
                        break;
                }
            }
            const int rc = sqlite3_step(statement);
            if ((rc & 0xFF) == SQLITE_CONSTRAINT) Duplicate(name);
            if (rc != SQLITE_DONE) Fail(name);
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
            ++rows;
        });
        sqlite3_finalize(statement);
        statement = nullptr;
        for (const std::string& index : indexes) {
            if (sqlite3_exec(m_db, index.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
                if (sqlite3_errcode(m_db) == SQLITE_CONSTRAINT) Duplicate(name);
                Fail(name);
            }
        }
        Execute("COMMIT", name);
    } catch (...) {
        sqlite3_finalize(statement);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    m_loaded.insert(Lower(name));
    m_rowsRead += rows;
}
