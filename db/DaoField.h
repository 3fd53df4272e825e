#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A recordset member bound to one column. It remembers whether the program assigned it since the
// row was fetched or started, so that Update writes exactly the assigned columns of a new row
// (0 and "" included) and only the changed ones of an edited row. A stored Null reads as "" (or
// 0): assigning that same value is no change, so the Null stays.
class DaoFieldBase {
public:
    bool IsDirty() const { return m_dirty; }

protected:
    bool m_dirty = false;
    bool m_newRow = false;

    friend class DaoRowBinding;
};

template <class T>
class DaoField : public DaoFieldBase {
public:
    DaoField() = default;
    DaoField(const DaoField&) = delete;
    DaoField& operator=(const DaoField&) = delete;

    DaoField& operator=(const T& value) {
        if (m_newRow || !(m_value == value)) {
            m_value = value;
            m_dirty = true;
        }
        return *this;
    }

    const T& Value() const { return m_value; }

    // Writable access, as for a buffer handed to a C-style function; counts as an assignment.
    T& Buffer() {
        m_dirty = true;
        return m_value;
    }

private:
    T m_value{};

    friend class DaoRowBinding;
};

// The engine's date/time value: days since 30 December 1899, as the platform keeps it.
struct COleDateTime {
    double m_dt = 0.0;
    bool operator==(const COleDateTime&) const = default;
};

using DaoText = DaoField<std::string>;
using DaoShort = DaoField<int16_t>;
using DaoLong = DaoField<int32_t>;
using DaoLongBinary = DaoField<std::vector<unsigned char>>;
using DaoDateTime = DaoField<COleDateTime>;
