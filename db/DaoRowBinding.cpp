#include "db/DaoRowBinding.h"

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

int64_t DaoRowBinding::IntegerFrom(const StoreValue& value, std::size_t column, int64_t minimum,
                                   int64_t maximum, const char* expected) const {
    int64_t result = 0;
    switch (value.kind) {
        case StoreValue::Kind::Null:
            return 0;
        case StoreValue::Kind::Integer:
            result = value.integer;
            break;
        case StoreValue::Kind::Real: {
            const double real = value.real;
            if (!(real >= static_cast<double>(minimum) && real <= static_cast<double>(maximum)) ||
                std::trunc(real) != real) {
                WrongKind(column, expected);
            }
            result = static_cast<int64_t>(real);
            break;
        }
        case StoreValue::Kind::Text: {
            const char* text = value.bytes.data();
            const char* end = text + value.bytes.size();
            const auto [ptr, ec] = std::from_chars(text, end, result);
            if (ec != std::errc() || ptr != end) WrongKind(column, expected);
            break;
        }
        default:
            WrongKind(column, expected);
    }
    if (result < minimum || result > maximum) WrongKind(column, expected);
    return result;
}

void DaoRowBinding::LoadColumn(std::size_t i, const StoreValue& value) {
    const DaoColumnBinding& binding = m_columns[i];
    switch (binding.type) {
        case DaoColumnType::Text:
            As<std::string>(binding).m_value.assign(value.bytes.data(), value.bytes.size());
            break;
        case DaoColumnType::Short:
            As<int16_t>(binding).m_value = static_cast<int16_t>(
                IntegerFrom(value, i, std::numeric_limits<int16_t>::min(),
                            std::numeric_limits<int16_t>::max(), "a short integer"));
            break;
        case DaoColumnType::Long:
            As<int32_t>(binding).m_value = static_cast<int32_t>(
                IntegerFrom(value, i, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max(), "a long integer"));
            break;
        case DaoColumnType::LongBinary: {
            auto& bytes = As<std::vector<unsigned char>>(binding).m_value;
            const auto* data = reinterpret_cast<const unsigned char*>(value.bytes.data());
            bytes.assign(data, data + value.bytes.size());
            break;
        }
        case DaoColumnType::DateTime: {
            double days = 0.0;
            if (value.kind == StoreValue::Kind::Integer) {
                days = static_cast<double>(value.integer);
            } else if (value.kind == StoreValue::Kind::Real) {
                days = value.real;
            } else if (value.kind == StoreValue::Kind::Text) {
                const char* text = value.bytes.data();
                const char* end = text + value.bytes.size();
                const auto [ptr, ec] = std::from_chars(text, end, days);
                if (ec != std::errc() || ptr != end) WrongKind(i, "a date");
            } else if (value.kind != StoreValue::Kind::Null) {
                WrongKind(i, "a date");
            }
            As<COleDateTime>(binding).m_value.m_dt = days;
            break;
        }
    }
    binding.field->m_dirty = false;
    binding.field->m_newRow = false;
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
    }
}

void DaoRowBinding::StartEdit() {
    for (const DaoColumnBinding& binding : m_columns) {
        binding.field->m_dirty = false;
        binding.field->m_newRow = false;
    }
}

void DaoRowBinding::Settle() { StartEdit(); }

const std::string& DaoRowBinding::TextValue(std::size_t column) const {
    return As<std::string>(m_columns[column]).m_value;
}

int64_t DaoRowBinding::IntegerValue(std::size_t column) const {
    const DaoColumnBinding& binding = m_columns[column];
    return binding.type == DaoColumnType::Short ? As<int16_t>(binding).m_value
                                                : As<int32_t>(binding).m_value;
}

const std::vector<unsigned char>& DaoRowBinding::BlobValue(std::size_t column) const {
    return As<std::vector<unsigned char>>(m_columns[column]).m_value;
}

double DaoRowBinding::DateValue(std::size_t column) const {
    return As<COleDateTime>(m_columns[column]).m_value.m_dt;
}
