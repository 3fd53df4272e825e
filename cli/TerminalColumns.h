#pragma once

#include <cstddef>

// The width in columns of the terminal standard error writes to; 0 when it is not a terminal or
// does not say.
std::size_t TerminalColumns();
