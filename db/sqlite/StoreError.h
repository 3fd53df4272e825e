#pragma once

#include <string>

#include "db/DaoException.h"

struct sqlite3;

// What the engine was doing when the store failed, so the error names the right thing.
enum class StoreAction { Open, Read, Write };

// The engine error for a failed store call: Jet's number and a plain description naming the
// file (and the table, when there is one). Out of memory raises CMemoryException instead.
CDaoException StoreException(int resultCode, const std::string& file, StoreAction action,
                             const std::string& table = {}, const std::string& detail = {});

// Raises StoreException.
[[noreturn]] void ThrowStoreError(int resultCode, const std::string& file, StoreAction action,
                                  const std::string& table = {}, const std::string& detail = {});

// The store's own words for the last failure on a connection.
std::string StoreMessage(sqlite3* db);
