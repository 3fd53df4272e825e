#include "convert/BracedId.h"

#include <cstring>

std::string ExtractBracedId(char* buffer) {
    if (buffer == nullptr || buffer[0] == '\0') return "";
    std::string whole(buffer);
    // An opening brace in the first byte is never taken as the start of the braced part.
    char* open = std::strchr(buffer + 1, '{');
    if (open == nullptr) return whole;
    char* close = std::strchr(open, '}');
    if (close == nullptr) return whole;
    close[1] = '\0';
    return std::string(open, close + 1);
}
