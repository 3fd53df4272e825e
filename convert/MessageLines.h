#pragma once

#include <string>

// Message text with the platform's line breaks made plain: each carriage return, or CR LF pair,
// is one "\n", as a message box shows it.
std::string MessageLines(const std::string& text);
