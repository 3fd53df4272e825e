#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Jet 4 text: UCS-2 little-endian, or "compressed" (a 0xFF 0xFE mark, then runs of one-byte
// characters and of two-byte ones, each 0x00 byte switching between them). Gives UTF-8; a
// surrogate without its partner becomes U+FFFD.
std::string Jet4TextToUtf8(const unsigned char* data, std::size_t size);

// Jet 3 text: bytes in the database's code page (Windows code page number; 0 or one the system
// cannot convert reads as 1252). Bytes the code page does not define become '?'.
class CodePageText {
public:
    explicit CodePageText(std::uint16_t codePage);
    ~CodePageText();
    CodePageText(const CodePageText&) = delete;
    CodePageText& operator=(const CodePageText&) = delete;

    std::string ToUtf8(const unsigned char* data, std::size_t size) const;

private:
    void* m_converter;  // iconv_t
};
