#include "db/Store.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDynasetCursor.h"
#include "db/odbc/OdbcTableCursor.h"

namespace {

class OdbcDataStore : public Store {
public:
    std::unique_ptr<RecordsetCursor> OpenTable(const StoreFile& file, DaoRowBinding row,
                                               const std::string& table) override {
        return OdbcTableCursor::Open(OdbcConnection::Acquire(file, OdbcAccess::Write),
                                     std::move(row), table);
    }

    std::unique_ptr<RecordsetCursor> OpenDynaset(const StoreFile& file, DaoRowBinding row,
                                                 const std::string& source,
                                                 bool isTableName) override {
        return OdbcDynasetCursor::Open(OdbcConnection::Acquire(file, OdbcAccess::Read),
                                       std::move(row), source, isTableName);
    }
};

}  // namespace

Store& OdbcStore() {
    static OdbcDataStore store;
    return store;
}
