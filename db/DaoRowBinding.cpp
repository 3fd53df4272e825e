#include "db/DaoRowBinding.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "db/DaoException.h"

namespace {

template <class T>
DaoField<T>& As(const DaoColumnBinding& binding) {
    return static_cast<DaoField<T>&>(*binding.field);
}

}  // namespace

DaoRowBinding::DaoRowBinding(std::vector<DaoColumnBinding> bindings, std::string file,
                             std::string table)
    : m_columns(std::move(bindings)), m_file(std::move(file)), m_table(std::move(table)) {}

void DaoRowBinding::WrongKind(std::size_t column, const char* expected) const {
    ThrowDaoException(DaoError::TypeConversion,
                      "Data type conversion error: the column '" + m_columns[column].column +
                          "' of '" + m_table + "' in '" + m_file + "' holds a value that is not " +
                          expected + ".");
}

int64_t DaoRowBinding::IntegerValue(sqlite3_stmt* stmt, int resultColumn, std::size_t column,
                                    int64_t minimum, int64_t maximum, const char* expected) const {
    int64_t value = 0;
    switch (sqlite3_column_type(stmt, resultColumn)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
            value = sqlite3_column_int64(stmt, resultColumn);
            break;
        case SQLITE_FLOAT: {
            const double real = sqlite3_column_double(stmt, resultColumn);
            if (!(real >= static_cast<double>(minimum) && real <= static_cast<double>(maximum)) ||
                std::trunc(real) != real) {
                WrongKind(column, expected);
            }
            value = static_cast<int64_t>(real);
            break;
        }
        case SQLITE_TEXT: {
            const char* text =
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, resultColumn));
            const char* end = text + sqlite3_column_bytes(stmt, resultColumn);
            const auto [ptr, ec] = std::from_chars(text, end, value);
            if (ec != std::errc() || ptr != end) WrongKind(column, expected);
            break;
        }
        default:
            WrongKind(column, expected);
    }
    if (value < minimum || value > maximum) WrongKind(column, expected);
    return value;
}

void DaoRowBinding::Load(sqlite3_stmt* stmt, const std::vector<int>& resultColumns) {
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const DaoColumnBinding& binding = m_columns[i];
        const int c = resultColumns[i];
        switch (binding.type) {
            case DaoColumnType::Text: {
                std::string& text = As<std::string>(binding).m_value;
                const unsigned char* bytes = sqlite3_column_text(stmt, c);
                if (bytes == nullptr) {
                    if (sqlite3_errcode(sqlite3_db_handle(stmt)) == SQLITE_NOMEM) {
                        throw CMemoryException();
                    }
                    text.clear();
                } else {
                    // The store keeps UTF-8, which is this platform's system code page too.
                    text.assign(reinterpret_cast<const char*>(bytes),
                                static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
                }
                break;
            }
            case DaoColumnType::Short:
                As<int16_t>(binding).m_value = static_cast<int16_t>(
                    IntegerValue(stmt, c, i, std::numeric_limits<int16_t>::min(),
                                 std::numeric_limits<int16_t>::max(), "a short integer"));
                break;
            case DaoColumnType::Long:
                As<int32_t>(binding).m_value = static_cast<int32_t>(
                    IntegerValue(stmt, c, i, std::numeric_limits<int32_t>::min(),
                                 std::numeric_limits<int32_t>::max(), "a long integer"));
                break;
            case DaoColumnType::LongBinary: {
                auto& bytes = As<std::vector<unsigned char>>(binding).m_value;
                const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, c));
                bytes.assign(data, data + sqlite3_column_bytes(stmt, c));
                break;
            }
            case DaoColumnType::DateTime: {
                const int type = sqlite3_column_type(stmt, c);
                double days = 0.0;
                if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
                    days = sqlite3_column_double(stmt, c);
                } else if (type == SQLITE_TEXT) {
                    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                    const char* end = text + sqlite3_column_bytes(stmt, c);
                    const auto [ptr, ec] = std::from_chars(text, end, days);
                    if (ec != std::errc() || ptr != end) WrongKind(i, "a date");
                } else if (type != SQLITE_NULL) {
                    WrongKind(i, "a date");
                }
                As<COleDateTime>(binding).m_value.m_dt = days;
                break;
            }
        }
        binding.field->m_dirty = false;
        binding.field->m_newRow = false;
        binding.field->m_storedNull = sqlite3_column_type(stmt, c) == SQLITE_NULL;
    }
}

int DaoRowBinding::BindColumns(sqlite3_stmt* stmt, uint64_t mask, int firstParameter) const {
    int parameter = firstParameter;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if ((mask & (uint64_t{1} << i)) == 0) continue;
        const DaoColumnBinding& binding = m_columns[i];
        switch (binding.type) {
            case DaoColumnType::Text: {
                const std::string& text = As<std::string>(binding).m_value;
                sqlite3_bind_text64(stmt, parameter, text.data(), text.size(), SQLITE_STATIC,
                                    SQLITE_UTF8);
                break;
            }
            case DaoColumnType::Short:
                sqlite3_bind_int(stmt, parameter, As<int16_t>(binding).m_value);
                break;
            case DaoColumnType::Long:
                sqlite3_bind_int(stmt, parameter, As<int32_t>(binding).m_value);
                break;
            case DaoColumnType::LongBinary: {
                const auto& bytes = As<std::vector<unsigned char>>(binding).m_value;
                sqlite3_bind_blob64(stmt, parameter, bytes.data(), bytes.size(), SQLITE_STATIC);
                break;
            }
            case DaoColumnType::DateTime:
                sqlite3_bind_double(stmt, parameter, As<COleDateTime>(binding).m_value.m_dt);
                break;
        }
        ++parameter;
    }
    return parameter;
}

uint64_t DaoRowBinding::DirtyMask() const {
    uint64_t mask = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].field->m_dirty) mask |= uint64_t{1} << i;
    }
    return mask;
}

void DaoRowBinding::StartNewRow() {
    for (const DaoColumnBinding& binding : m_columns) {
        switch (binding.type) {
            case DaoColumnType::Text:
                As<std::string>(binding).m_value.clear();
                break;
            case DaoColumnType::Short:
                As<int16_t>(binding).m_value = 0;
                break;
            case DaoColumnType::Long:
                As<int32_t>(binding).m_value = 0;
                break;
            case DaoColumnType::LongBinary:
                As<std::vector<unsigned char>>(binding).m_value.clear();
                break;
            case DaoColumnType::DateTime:
                As<COleDateTime>(binding).m_value = {};
                break;
        }
        binding.field->m_dirty = false;
        binding.field->m_newRow = true;
        binding.field->m_storedNull = false;
    }
}

void DaoRowBinding::StartEdit() {
    for (const DaoColumnBinding& binding : m_columns) {
        binding.field->m_dirty = false;
        binding.field->m_newRow = false;
    }
}

void DaoRowBinding::Settle() {
    for (const DaoColumnBinding& binding : m_columns) {
        if (binding.field->m_dirty) binding.field->m_storedNull = false;
    }
    StartEdit();
}

const std::string& DaoRowBinding::TextValue(std::size_t column) const {
    return As<std::string>(m_columns[column]).m_value;
}
