#include "db/DaoFieldExchange.h"

#include <cstring>

void CDaoFieldExchange::Bind(const char* bracketedColumn, DaoColumnType type, DaoFieldBase& field) {
    std::string column = bracketedColumn;
    if (column.size() >= 2 && column.front() == '[' && column.back() == ']') {
        column = column.substr(1, column.size() - 2);
    }
    m_bindings.push_back({std::move(column), type, &field});
}

// Pre-allocation sizes and cache options only tune the platform's buffers; values are read and
// written whole whatever their length.
void DFX_Text(CDaoFieldExchange* pFX, const char* column, DaoText& value, int, uint32_t) {
    pFX->Bind(column, DaoColumnType::Text, value);
}

void DFX_Short(CDaoFieldExchange* pFX, const char* column, DaoShort& value, uint32_t) {
    pFX->Bind(column, DaoColumnType::Short, value);
}

void DFX_Long(CDaoFieldExchange* pFX, const char* column, DaoLong& value, uint32_t) {
    pFX->Bind(column, DaoColumnType::Long, value);
}

void DFX_LongBinary(CDaoFieldExchange* pFX, const char* column, DaoLongBinary& value, int,
                    uint32_t) {
    pFX->Bind(column, DaoColumnType::LongBinary, value);
}

void DFX_DateTime(CDaoFieldExchange* pFX, const char* column, DaoDateTime& value, uint32_t) {
    pFX->Bind(column, DaoColumnType::DateTime, value);
}
