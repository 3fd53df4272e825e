#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

struct sqlite3;
class JetFile;

// The tables of a Jet file that statements read, copied into an in-memory SQLite database so
// that a dynaset's SQL runs there as written. Text columns are declared COLLATE NOCASE: Jet
// compares text without regard to case.
class JetSnapshot {
public:
    // Reads the Jet file at path (never opening it for writing); engine errors name it.
    static std::unique_ptr<JetSnapshot> Open(const std::string& path);
    explicit JetSnapshot(std::unique_ptr<JetFile> file);
    ~JetSnapshot();
    JetSnapshot(const JetSnapshot&) = delete;
    JetSnapshot& operator=(const JetSnapshot&) = delete;

    sqlite3* Handle() const { return m_db; }
    const std::string& Path() const;

    // Copies in every table the statement reads that is not here yet, so that it can then be
    // prepared on Handle(). A table the file lacks is 3078; other faults of the statement (a
    // missing column, a syntax error) are left for that prepare to report.
    void LoadTablesFor(const std::string& sql);
    // Copies in one table, whole; damage in it is 3049 and leaves nothing of it behind.
    void LoadTable(const std::string& name);

    std::uint64_t RowsRead() const { return m_rowsRead; }

private:
    void Execute(const std::string& sql, const std::string& table);
    [[noreturn]] void Fail(const std::string& table);
    [[noreturn]] void Duplicate(const std::string& table);

    std::unique_ptr<JetFile> m_file;
    sqlite3* m_db = nullptr;
    std::set<std::string> m_loaded;  // lower-case names
    std::uint64_t m_rowsRead = 0;
};
