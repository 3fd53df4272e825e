#include "db/sqlite/SqliteRowValues.h"

#include <sqlite3.h>

#include <string_view>

#include "db/DaoException.h"
#include "db/RecordsetCursor.h"

namespace {

std::string_view Bytes(const void* data, int size) {
    return data == nullptr
               ? std::string_view()
               : std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// The column as the member's type wants it: text columns as the store's text (it keeps UTF-8,
// this platform's system code page too), blobs as bytes, numbers as stored.
StoreValue ColumnValue(sqlite3_stmt* stmt, int c, DaoColumnType type) {
    const int stored = sqlite3_column_type(stmt, c);
    if (stored == SQLITE_NULL) return StoreValue::Null();
    if (type == DaoColumnType::Text) {
        const unsigned char* text = sqlite3_column_text(stmt, c);
        if (text == nullptr) {
            if (sqlite3_errcode(sqlite3_db_handle(stmt)) == SQLITE_NOMEM) throw CMemoryException();
            return StoreValue::Null();
        }
        return StoreValue::Text(Bytes(text, sqlite3_column_bytes(stmt, c)));
    }
    if (type == DaoColumnType::LongBinary) {
        const void* data = sqlite3_column_blob(stmt, c);
        return StoreValue::Blob(Bytes(data, sqlite3_column_bytes(stmt, c)));
    }
    switch (stored) {
        case SQLITE_INTEGER:
            return StoreValue::Integer(sqlite3_column_int64(stmt, c));
        case SQLITE_FLOAT:
            return StoreValue::Real(sqlite3_column_double(stmt, c));
        case SQLITE_TEXT:
            return StoreValue::Text(
                Bytes(sqlite3_column_text(stmt, c), sqlite3_column_bytes(stmt, c)));
        default:
            return StoreValue::Blob(
                Bytes(sqlite3_column_blob(stmt, c), sqlite3_column_bytes(stmt, c)));
    }
}

}  // namespace

void LoadBoundRow(DaoRowBinding& row, sqlite3_stmt* stmt, const std::vector<int>& resultColumns) {
    for (std::size_t i = 0; i < row.Size(); ++i) {
        row.LoadColumn(i, ColumnValue(stmt, resultColumns[i], row.Columns()[i].type));
    }
}

int BindRowColumns(const DaoRowBinding& row, sqlite3_stmt* stmt, uint64_t mask,
                   int firstParameter) {
    int parameter = firstParameter;
    for (std::size_t i = 0; i < row.Size(); ++i) {
        if ((mask & (uint64_t{1} << i)) == 0) continue;
        switch (row.Columns()[i].type) {
            case DaoColumnType::Text: {
                const std::string& text = row.TextValue(i);
                sqlite3_bind_text64(stmt, parameter, text.data(), text.size(), SQLITE_STATIC,
                                    SQLITE_UTF8);
                break;
            }
            case DaoColumnType::Short:
            case DaoColumnType::Long:
                sqlite3_bind_int64(stmt, parameter, row.IntegerValue(i));
                break;
            case DaoColumnType::LongBinary: {
                const auto& bytes = row.BlobValue(i);
                sqlite3_bind_blob64(stmt, parameter, bytes.data(), bytes.size(), SQLITE_STATIC);
                break;
            }
            case DaoColumnType::DateTime:
                sqlite3_bind_double(stmt, parameter, row.DateValue(i));
                break;
        }
        ++parameter;
    }
    return parameter;
}

std::vector<int> ResultColumnsFor(sqlite3_stmt* stmt, const DaoRowBinding& row,
                                  const std::string& source, const std::string& file) {
    std::vector<int> resultColumns;
    const int count = sqlite3_column_count(stmt);
    for (const DaoColumnBinding& binding : row.Columns()) {
        int found = -1;
        for (int c = 0; c < count && found < 0; ++c) {
            const char* name = sqlite3_column_name(stmt, c);
            if (name != nullptr && SameName(name, binding.column)) found = c;
        }
        if (found < 0) {
            ThrowDaoException(DaoError::ItemNotFound, "Item not found: '" + source + "' in '" +
                                                          file + "' gives no column '" +
                                                          binding.column + "'.");
        }
        resultColumns.push_back(found);
    }
    return resultColumns;
}
