#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Collects the reader's plain text. It holds back the latest paragraph mark so that the one mark
// ending the document can be dropped, and pairs UTF-16 surrogates coming from consecutive \u.
class PlainTextWriter {
public:
    explicit PlainTextWriter(std::size_t expectedSize);

    // U+0000 gives nothing: a NUL would cut the text short for most of its readers.
    void Char(char32_t cp);
    // Text that is in the system code page already, NUL-free and whole characters only.
    void SystemText(const char* text, std::size_t length);
    void Utf16Unit(std::uint16_t unit);
    void ParagraphMark();
    std::string Finish();

private:
    void FlushPending();
    void FlushLoneSurrogate();

    std::string m_text;
    std::uint16_t m_highSurrogate = 0;
    bool m_markPending = false;
};
