#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoField.h"

enum class DaoColumnType { Text, Short, Long, LongBinary, DateTime };

// Bind options of the field-exchange functions.
inline constexpr uint32_t AFX_DAO_DISABLE_FIELD_CACHE = 0;
inline constexpr uint32_t AFX_DAO_ENABLE_FIELD_CACHE = 1;

struct DaoColumnBinding {
    std::string column;  // without its brackets
    DaoColumnType type;
    DaoFieldBase* field;
};

// Collects, when a recordset opens, which member is bound to which column.
class CDaoFieldExchange {
public:
    enum FieldType { none, outputColumn };

    void SetFieldType(FieldType type) { m_fieldType = type; }
    void Bind(const char* bracketedColumn, DaoColumnType type, DaoFieldBase& field);

    const std::vector<DaoColumnBinding>& Bindings() const { return m_bindings; }

private:
    FieldType m_fieldType = none;
    std::vector<DaoColumnBinding> m_bindings;
};

void DFX_Text(CDaoFieldExchange* pFX, const char* column, DaoText& value, int preAllocSize = 255,
              uint32_t bindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Short(CDaoFieldExchange* pFX, const char* column, DaoShort& value,
               uint32_t bindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_Long(CDaoFieldExchange* pFX, const char* column, DaoLong& value,
              uint32_t bindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_LongBinary(CDaoFieldExchange* pFX, const char* column, DaoLongBinary& value,
                    int preAllocSize = 32768, uint32_t bindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
void DFX_DateTime(CDaoFieldExchange* pFX, const char* column, DaoDateTime& value,
                  uint32_t bindOptions = AFX_DAO_ENABLE_FIELD_CACHE);
