#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoFieldExchange.h"
#include "db/StoreValue.h"

// Moves one row between a store and the members the field exchange bound, column by column.
class DaoRowBinding {
public:
    DaoRowBinding(std::vector<DaoColumnBinding> bindings, std::string file, std::string table);

    const std::vector<DaoColumnBinding>& Columns() const { return m_columns; }
    std::size_t Size() const { return m_columns.size(); }
    const std::string& File() const { return m_file; }
    const std::string& Table() const { return m_table; }

    // Sets column i from the store's value of the current row. Null reads as "" or 0. A value of
    // the wrong kind is error 3421.
    void LoadColumn(std::size_t column, const StoreValue& value);

    // The members' values, for a store to write; the texts stay in place until the next change.
    const std::string& TextValue(std::size_t column) const;
    int64_t IntegerValue(std::size_t column) const;  // Short and Long columns
    const std::vector<unsigned char>& BlobValue(std::size_t column) const;
    double DateValue(std::size_t column) const;

    uint64_t DirtyMask() const;
    void StartNewRow();  // members to their initial values; every later assignment counts
    void StartEdit();    // assignments count where they change a value
    void Settle();       // after an update: nothing pending

private:
    [[noreturn]] void WrongKind(std::size_t column, const char* expected) const;
    int64_t IntegerFrom(const StoreValue& value, std::size_t column, int64_t minimum,
                        int64_t maximum, const char* expected) const;

    std::vector<DaoColumnBinding> m_columns;
    std::string m_file;
    std::string m_table;
};
