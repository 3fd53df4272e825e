#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/DaoRowBinding.h"

struct sqlite3_stmt;

// The result column of the statement that feeds each bound column, found by name as the engine
// compares names; ItemNotFound naming source and file where the query gives no such column.
std::vector<int> ResultColumnsFor(sqlite3_stmt* stmt, const DaoRowBinding& row,
                                  const std::string& source, const std::string& file);

// Reads the bound columns from the statement's current row: column i from result column
// resultColumns[i].
void LoadBoundRow(DaoRowBinding& row, sqlite3_stmt* stmt, const std::vector<int>& resultColumns);

// Binds the columns in mask (bit i for column i) to parameters from firstParameter on and returns
// the next parameter; the values are bound in place and must not change until the statement ran.
int BindRowColumns(const DaoRowBinding& row, sqlite3_stmt* stmt, uint64_t mask, int firstParameter);
