#pragma once

#include <string>

// The one variant the program builds: a byte string made from a key's text, for an index seek.
enum VARENUM { VT_BSTRT = 8 };

class COleVariant {
public:
    COleVariant(const std::string& text, VARENUM type) : m_text(text), m_type(type) {}

    const std::string& Text() const { return m_text; }
    VARENUM Type() const { return m_type; }

private:
    std::string m_text;
    VARENUM m_type;
};
