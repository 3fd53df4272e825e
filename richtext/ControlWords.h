#pragma once

#include <cstdint>
#include <string_view>

// The control words the reader acts on. Every other word is ignored.
enum class ControlWordKind : std::uint8_t {
    Unknown,
    ParagraphMark,  // \par \sect \page \line \row
    Symbol,         // gives ControlWordInfo::symbol
    DocumentCharset,
    AnsiCodePage,
    DefaultFont,
    Font,
    FontCharset,
    FontCodePage,
    Plain,
    Unicode,
    UnicodeFallbackCount,
    Binary,
    FontTable,
    SkippedDestination,
};

struct ControlWordInfo {
    ControlWordKind kind = ControlWordKind::Unknown;
    // The character of a Symbol, or the code page of a DocumentCharset.
    char32_t symbol = 0;
};

ControlWordInfo LookupControlWord(std::string_view name);
