#include "richtext/PlainTextWriter.h"

#include <utility>

#include "richtext/SystemCodePage.h"

namespace {
bool IsHighSurrogate(std::uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
}  // namespace

PlainTextWriter::PlainTextWriter(std::size_t expectedSize) { m_text.reserve(expectedSize); }

void PlainTextWriter::FlushLoneSurrogate() {
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        Char(0xD800);  // not representable: comes out as "?"
    }
}

void PlainTextWriter::FlushPending() {
    FlushLoneSurrogate();
    if (m_markPending) {
        m_markPending = false;
        m_text += "\r\n";
    }
}

void PlainTextWriter::Char(char32_t cp) {
    if (cp == 0) {
        return;
    }
    FlushPending();
    AppendInSystemCodePage(m_text, cp);
}

void PlainTextWriter::SystemText(const char* text, std::size_t length) {
    FlushPending();
    m_text.append(text, length);
}

void PlainTextWriter::Utf16Unit(std::uint16_t unit) {
    if (m_highSurrogate != 0 && IsLowSurrogate(unit)) {
        const char32_t cp =
            0x10000 + ((char32_t{m_highSurrogate} - 0xD800) << 10) + (unit - 0xDC00);
        m_highSurrogate = 0;
        Char(cp);
        return;
    }
    FlushLoneSurrogate();
    if (IsHighSurrogate(unit)) {
        m_highSurrogate = unit;
    } else {
        Char(unit);
    }
}

void PlainTextWriter::ParagraphMark() {
    FlushPending();
    m_markPending = true;
}

std::string PlainTextWriter::Finish() {
    FlushLoneSurrogate();
    // A paragraph mark still held back here ends the document and is dropped.
    return std::move(m_text);
}
