#include "db/odbc/OdbcRowValues.h"

#include <algorithm>
#include <numeric>

OwnedValue OwnedValue::From(const StoreValue& value) {
    return {value.kind, value.integer, value.real, std::string(value.bytes)};
}

StoreValue OwnedValue::View() const {
    switch (kind) {
        case StoreValue::Kind::Integer:
            return StoreValue::Integer(integer);
        case StoreValue::Kind::Real:
            return StoreValue::Real(real);
        case StoreValue::Kind::Text:
            return StoreValue::Text(bytes);
        case StoreValue::Kind::Blob:
            return StoreValue::Blob(bytes);
        case StoreValue::Kind::Null:
            break;
    }
    return StoreValue::Null();
}

void LoadBoundRow(DaoRowBinding& row, OdbcStatement& stmt, const ResultColumns& columns) {
    std::vector<std::size_t> order(row.Size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return columns.numbers[a] < columns.numbers[b];
    });
    std::vector<std::string> buffers(row.Size());
    std::vector<StoreValue> values(row.Size());
    for (std::size_t i : order) {
        values[i] =
            stmt.Read(columns.numbers[i], row.Columns()[i].type, columns.types[i], buffers[i]);
    }
    for (std::size_t i = 0; i < row.Size(); ++i) row.LoadColumn(i, values[i]);
}

std::vector<OwnedValue> ReadValues(const DaoRowBinding& row, OdbcStatement& stmt,
                                   const std::vector<std::size_t>& boundColumns,
                                   const std::vector<SQLSMALLINT>& sqlTypes) {
    std::vector<OwnedValue> values;
    std::string buffer;
    for (std::size_t k = 0; k < boundColumns.size(); ++k) {
        const std::size_t i = boundColumns[k];
        values.push_back(OwnedValue::From(stmt.Read(static_cast<SQLUSMALLINT>(k + 1),
                                                    row.Columns()[i].type, sqlTypes[i], buffer)));
    }
    return values;
}

std::vector<OwnedValue> MemberValues(const DaoRowBinding& row,
                                     const std::vector<std::size_t>& boundColumns) {
    std::vector<OwnedValue> values;
    for (std::size_t i : boundColumns) {
        OwnedValue value;
        switch (row.Columns()[i].type) {
            case DaoColumnType::Text:
                value.kind = StoreValue::Kind::Text;
                value.bytes = row.TextValue(i);
                break;
            case DaoColumnType::Short:
            case DaoColumnType::Long:
                value.kind = StoreValue::Kind::Integer;
                value.integer = row.IntegerValue(i);
                break;
            case DaoColumnType::LongBinary: {
                const auto& bytes = row.BlobValue(i);
                value.kind = StoreValue::Kind::Blob;
                value.bytes.assign(bytes.begin(), bytes.end());
                break;
            }
            case DaoColumnType::DateTime:
                value.kind = StoreValue::Kind::Real;
                value.real = row.DateValue(i);
                break;
        }
        values.push_back(std::move(value));
    }
    return values;
}

void BindValue(OdbcStatement& stmt, const OwnedValue& value, SQLSMALLINT sqlType) {
    switch (value.kind) {
        case StoreValue::Kind::Integer:
            stmt.BindInteger(value.integer, sqlType);
            break;
        case StoreValue::Kind::Real:
            stmt.BindDate(value.real, sqlType);
            break;
        case StoreValue::Kind::Blob:
            stmt.BindBlob(std::vector<unsigned char>(value.bytes.begin(), value.bytes.end()));
            break;
        case StoreValue::Kind::Text:
        case StoreValue::Kind::Null:
            stmt.BindText(value.bytes, sqlType);
            break;
    }
}

void BindRowColumns(const DaoRowBinding& row, OdbcStatement& stmt, uint64_t mask,
                    const std::vector<SQLSMALLINT>& sqlTypes) {
    for (std::size_t i = 0; i < row.Size(); ++i) {
        if ((mask & (uint64_t{1} << i)) == 0) continue;
        switch (row.Columns()[i].type) {
            case DaoColumnType::Text:
                stmt.BindText(row.TextValue(i), sqlTypes[i]);
                break;
            case DaoColumnType::Short:
            case DaoColumnType::Long:
                stmt.BindInteger(row.IntegerValue(i), sqlTypes[i]);
                break;
            case DaoColumnType::LongBinary:
                stmt.BindBlob(row.BlobValue(i));
                break;
            case DaoColumnType::DateTime:
                stmt.BindDate(row.DateValue(i), sqlTypes[i]);
                break;
        }
    }
}
