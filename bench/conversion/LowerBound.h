#pragma once

#include <string>

// Passes 1 to 4 written as a few SQL statements in one transaction, run by the store itself:
// the least time the store needs for the same result.
void RunLowerBound(const std::string& source, const std::string& destination);
