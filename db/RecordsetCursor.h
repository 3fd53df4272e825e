#pragma once

#include <string>

#include "db/COleVariant.h"
#include "db/DaoRowBinding.h"

// The position of a recordset. Empty: no rows when it was last positioned (BOF and EOF both).
enum class CursorState { Empty, OnRow, AfterLast, NoCurrent };

// What an open recordset does, whatever store holds its file; each store implements a table-type
// and a dynaset cursor. The defaults refuse what a read-only dynaset cannot do.
class RecordsetCursor {
public:
    RecordsetCursor(DaoRowBinding row, std::string source);
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
    // Table-type: the rows the table holds; dynaset: the rows its query gives now.
    virtual long long RecordCount() = 0;

    bool IsBOF() const { return m_state == CursorState::Empty; }
    bool IsEOF() const {
        return m_state == CursorState::Empty || m_state == CursorState::AfterLast;
    }

    // Lets go of the file; the last recordset out commits its pending writes (and may fail).
    virtual void Close() = 0;

protected:
    [[noreturn]] void NotSupported(const char* operation) const;
    [[noreturn]] void NoCurrentRecord() const;
    const std::string& File() const { return m_row.File(); }

    DaoRowBinding m_row;
    std::string m_source;  // the table or query, for messages
    CursorState m_state = CursorState::Empty;
};

std::string QuoteIdentifier(const std::string& name);
bool SameName(const std::string& a, const std::string& b);
