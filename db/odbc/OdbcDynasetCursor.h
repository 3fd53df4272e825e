#pragma once

#include <memory>
#include <string>

#include "db/RecordsetCursor.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcRowValues.h"
#include "db/odbc/OdbcStatement.h"

// A dynaset over ODBC: the rows of a query, run through the driver as written (or of a whole
// table), walked forward and read only.
class OdbcDynasetCursor : public RecordsetCursor {
public:
    static std::unique_ptr<OdbcDynasetCursor> Open(std::shared_ptr<OdbcConnection> connection,
                                                   DaoRowBinding row, const std::string& sql,
                                                   bool isTableName);
    ~OdbcDynasetCursor() override;

    void MoveFirst() override;
    void MoveNext() override;
    long long RecordCount() override;
    void Close() override;

private:
    OdbcDynasetCursor(std::shared_ptr<OdbcConnection> connection, DaoRowBinding row,
                      std::string source);

    void MapResultColumns();
    // A bound column that no table the source reads has; "" when that cannot be told.
    std::string MissingColumn(const std::string& table) const;
    [[noreturn]] void NoSuchColumn(const std::string& column) const;
    void Step();
    void Run();

    std::shared_ptr<OdbcConnection> m_connection;
    std::unique_ptr<OdbcStatement> m_query;
    std::string m_sql;  // as the driver runs it
    ResultColumns m_result;
    bool m_atFirst = false;
};
