#pragma once

#include <string>

// Returns the braced part of an identifier ("{...}", searched from the second byte on) and cuts
// the buffer's text just after that closing brace; without such a part, the whole text.
std::string ExtractBracedId(char* buffer);
