#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoFieldExchange.h"

struct sqlite3_stmt;

// Moves one row between a statement and the members the field exchange bound, column by column.
class DaoRowBinding {
public:
    DaoRowBinding(std::vector<DaoColumnBinding> bindings, std::string file, std::string table);

    const std::vector<DaoColumnBinding>& Columns() const { return m_columns; }
    std::size_t Size() const { return m_columns.size(); }

    // Reads the bound columns from the statement's current row: column i from result column
    // resultColumns[i]. Null reads as "" or 0. A value of the wrong kind is error 3421.
    void Load(sqlite3_stmt* stmt, const std::vector<int>& resultColumns);
    // Binds the columns in mask (bit i for column i) to parameters from firstParameter on; the
    // texts are bound in place and must not change until the statement has run.
    int BindColumns(sqlite3_stmt* stmt, uint64_t mask, int firstParameter) const;

    uint64_t DirtyMask() const;
    void StartNewRow();  // members to their initial values; every later assignment counts
    void StartEdit();    // assignments count where they change a value
    void Settle();       // after an update: nothing pending

    const std::string& TextValue(std::size_t column) const;

private:
    [[noreturn]] void WrongKind(std::size_t column, const char* expected) const;
    int64_t IntegerValue(sqlite3_stmt* stmt, int resultColumn, std::size_t column, int64_t minimum,
                         int64_t maximum, const char* expected) const;

    std::vector<DaoColumnBinding> m_columns;
    std::string m_file;
    std::string m_table;
};
