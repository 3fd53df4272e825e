#pragma once

#include <memory>
#include <string>

#include "db/COleVariant.h"
#include "db/DaoRowBinding.h"
#include "db/StoreConnection.h"

struct sqlite3_stmt;

// The position of a recordset. Empty: no rows when it was last positioned (BOF and EOF both).
enum class CursorState { Empty, OnRow, AfterLast, NoCurrent };

// What an open recordset does; a table-type and a dynaset cursor each implement it.
class RecordsetCursor {
public:
    RecordsetCursor(std::shared_ptr<StoreConnection> connection, DaoRowBinding row,
                    std::string source);
    virtual ~RecordsetCursor();
    RecordsetCursor(const RecordsetCursor&) = delete;
    RecordsetCursor& operator=(const RecordsetCursor&) = delete;

    virtual void SetCurrentIndex(const char* name);
    virtual bool Seek(const char* comparison, const COleVariant& key);
    virtual void AddNew();
    virtual void Edit();
    virtual void Update();
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;

    bool IsBOF() const { return m_state == CursorState::Empty; }
    bool IsEOF() const {
        return m_state == CursorState::Empty || m_state == CursorState::AfterLast;
    }

    // Finalises the statements and lets go of the file; the last one out commits (may fail).
    void Close();

protected:
    [[noreturn]] void NotSupported(const char* operation) const;
    [[noreturn]] void NoCurrentRecord() const;
    // A statement this cursor owns, finalised with it.
    sqlite3_stmt* Own(sqlite3_stmt* stmt);
    void FinalizeStatements();

    std::shared_ptr<StoreConnection> m_connection;
    DaoRowBinding m_row;
    std::string m_source;  // the table or query, for messages
    CursorState m_state = CursorState::Empty;

private:
    std::vector<sqlite3_stmt*> m_statements;
};

std::string QuoteIdentifier(const std::string& name);
bool SameName(const std::string& a, const std::string& b);
