#pragma once

#include <string>

// Passes 1 to 4 written as a few SQL statements in one transaction, run by the store itself:
// the least time the store needs for the same result. With commitEachStatement, each statement
// is its own transaction, as the program's rows are committed before a later pass rewrites them:
// pages written by one statement are then journaled by the next.
void RunLowerBound(const std::string& source, const std::string& destination,
                   bool commitEachStatement = false);
