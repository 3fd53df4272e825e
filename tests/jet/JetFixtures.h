#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
class JetSnapshot;

// A file of ../shared/jet, or "" where that folder (or the file) is absent.
std::string JetFixture(const std::string& name);

#define JET_FIXTURE_OR_SKIP(var, name)                                                          \
    const std::string var = JetFixture(name);                                                   \
    if (var.empty()) {                                                                          \
        GTEST_SKIP() << "The Jet test files are not here (expected " << TALLOWMERE_JET_FIXTURES \
                     << "/" << (name) << "); Jet reading is not tested.";                       \
    }

// Every row of a query, each value as its storage class and text ("i:5", "t:abc", "n:"),
// columns joined with "|".
std::vector<std::string> TypedRows(sqlite3* db, const std::string& sql);

// The three source tables of a snapshot, in key order, as TypedRows gives them.
std::vector<std::string> SourceTables(sqlite3* db);
