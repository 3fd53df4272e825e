#include "db/Store.h"
#include "db/sqlite/DynasetCursor.h"
#include "db/sqlite/StoreConnection.h"
#include "db/sqlite/TableCursor.h"

namespace {

class SqliteFileStore : public Store {
public:
    std::unique_ptr<RecordsetCursor> OpenTable(const StoreFile& file, DaoRowBinding row,
                                               const std::string& table) override {
        return TableCursor::Open(StoreConnection::Acquire(file, StoreConnection::Access::Write),
                                 std::move(row), table);
    }

    std::unique_ptr<RecordsetCursor> OpenDynaset(const StoreFile& file, DaoRowBinding row,
                                                 const std::string& source,
                                                 bool isTableName) override {
        return DynasetCursor::Open(StoreConnection::Acquire(file, StoreConnection::Access::Read),
                                   std::move(row), source, isTableName);
    }
};

}  // namespace

Store& SqliteStore() {
    static SqliteFileStore store;
    return store;
}
