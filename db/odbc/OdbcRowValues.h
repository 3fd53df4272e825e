#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoRowBinding.h"
#include "db/odbc/OdbcStatement.h"

// A column value read and kept, such as a row's key for a walk.
struct OwnedValue {
    StoreValue::Kind kind = StoreValue::Kind::Null;
    int64_t integer = 0;
    double real = 0.0;
    std::string bytes;

    static OwnedValue From(const StoreValue& value);
    StoreValue View() const;
    bool operator==(const OwnedValue&) const = default;
};

// Where each bound column comes from in a result, and the driver's type of that result column.
struct ResultColumns {
    std::vector<SQLUSMALLINT> numbers;  // for bound column i, its result column (from 1)
    std::vector<SQLSMALLINT> types;
};

// Reads the bound columns of the statement's current row into the members: the driver is asked
// for its columns in result order, as not every driver allows another.
void LoadBoundRow(DaoRowBinding& row, OdbcStatement& stmt, const ResultColumns& columns);

// Reads the given bound columns of the current row, from result column 1 on, as values to keep.
std::vector<OwnedValue> ReadValues(const DaoRowBinding& row, OdbcStatement& stmt,
                                   const std::vector<std::size_t>& boundColumns,
                                   const std::vector<SQLSMALLINT>& sqlTypes);

// The current members of the given bound columns as values to keep.
std::vector<OwnedValue> MemberValues(const DaoRowBinding& row,
                                     const std::vector<std::size_t>& boundColumns);

// Binds the bound columns in mask (bit i for column i) as the next parameters, with the types of
// the table's columns.
void BindRowColumns(const DaoRowBinding& row, OdbcStatement& stmt, uint64_t mask,
                    const std::vector<SQLSMALLINT>& sqlTypes);
// Binds a kept value as the next parameter.
void BindValue(OdbcStatement& stmt, const OwnedValue& value, SQLSMALLINT sqlType);
