#pragma once

#include <cstddef>
#include <string>

// Text as the ODBC store hands it to drivers. The engine's strings are in the system code page,
// which is UTF-8 (on Windows through the programs' manifest).

// How many characters a driver counts in the text: UTF-16 code units, as the Access driver and
// ODBC's column sizes count them (a byte that is not UTF-8 counts as one).
std::size_t CharacterCount(const std::string& text);

// UTF-16 for the wide entry points, and back. Text that is not UTF-8 is refused (3421) rather
// than altered, so that no two different texts, keys above all, become one.
std::u16string WideFromText(const std::string& text);
std::string TextFromWide(const std::u16string& wide);
