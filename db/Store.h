#pragma once

#include <memory>
#include <string>

#include "db/DaoRowBinding.h"
#include "db/RecordsetCursor.h"
#include "db/StoreFileCheck.h"

// A store knows one kind of database file; the engine's recordsets reach every file through one.
class Store {
public:
    virtual ~Store() = default;

    // A table-type recordset: index selection, seek, add and edit on one table.
    virtual std::unique_ptr<RecordsetCursor> OpenTable(const StoreFile& file, DaoRowBinding row,
                                                       const std::string& table) = 0;
    // A read-only recordset over a whole table (isTableName) or the rows of a query as written.
    virtual std::unique_ptr<RecordsetCursor> OpenDynaset(const StoreFile& file, DaoRowBinding row,
                                                         const std::string& source,
                                                         bool isTableName) = 0;
};

// The store that holds a checked file, chosen by its format.
Store& StoreFor(const StoreFile& file);

// The stores this build has; each lives in its own folder beneath the engine.
Store& SqliteStore();
Store& OdbcStore();
Store& JetStore();  // Jet 3 and Jet 4 files, read only (not on Windows)
