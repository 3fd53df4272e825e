#include "richtext/RtfReader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "richtext/CodePages.h"
#include "richtext/ControlWords.h"
#include "richtext/GroupStack.h"
#include "richtext/PlainTextWriter.h"
#include "richtext/SystemCodePage.h"

namespace {

constexpr int kNoFont = INT_MIN;  // parameters are clamped, so no \f can name it
constexpr std::int64_t kMaxParameter = INT_MAX;
constexpr int kMaxFallbackCount = 0xFFFF;

enum class Destination : std::uint8_t { Text, FontTable, Skipped };

struct GroupState {
    int font = kNoFont;  // kNoFont: the document's default font
    int fallbackCount = 1;
    Destination destination = Destination::Text;
    bool operator==(const GroupState&) const = default;
};

struct FontCodePages {
    int fromCharset = 0;
    int fromCpg = 0;
    int Effective() const { return fromCpg > 0 ? fromCpg : fromCharset; }
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
// Raw bytes that are text as they stand: printable ASCII other than the RTF syntax bytes.
bool IsPlainAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x80 && c != '\\' && c != '{' && c != '}';
}

class RtfReader {
public:
    explicit RtfReader(std::string_view input) : m_in(input), m_out(input.size()) {}

    std::string Read() {
        while (m_pos < m_in.size()) {
            if (!ReadToken()) {
                break;  // the outermost group has closed; the rest is not part of the document
            }
        }
        FlushBytes();
        return m_out.Finish();
    }

private:
    bool ReadToken() {
        const char c = m_in[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            m_fallbackToSkip = 0;  // a brace ends a \u fallback
            m_atGroupStart = c == '{';
            if (c == '{') {
                m_stack.Push(m_group);
                return true;
            }
            m_group = m_stack.Pop();
            return !m_stack.Empty();
        }
        if (c == '\r' || c == '\n') {
            ++m_pos;
            return true;
        }
        const bool atGroupStart = std::exchange(m_atGroupStart, false);
        const bool isFallback = m_fallbackToSkip > 0;
        if (isFallback) {
            --m_fallbackToSkip;
        }
        if (c == '\\') {
            ++m_pos;
            ReadControl(isFallback, atGroupStart);
        } else if (isFallback) {
            // A raw character of several bytes is one fallback character: the writer counted it
            // as one before the text was turned into the system code page.
            m_pos += RawCharLength();
        } else if (m_group.destination != Destination::Text) {
            SkipText();
        } else {
            ReadText();
        }
        return true;
    }

    void SkipText() {
        while (m_pos < m_in.size() && m_in[m_pos] != '\\' && m_in[m_pos] != '{' &&
               m_in[m_pos] != '}') {
            ++m_pos;
        }
    }

    // Raw (unescaped) text reaches the reader in the system code page: the database engine has
    // already turned the phrase into it, whatever code page the document declares.
    void ReadText() {
        const auto byte = static_cast<unsigned char>(m_in[m_pos]);
        if (byte == 0) {
            ++m_pos;
            EmitChar(U' ');
            return;
        }
        if (byte < 0x80 && m_pendingLength > 0) {
            // An escaped lead byte may take a raw ASCII byte as its trail.
            ++m_pos;
            if (byte == '\t') {
                EmitChar(U'\t');
            } else {
                AddByte(byte);
            }
            return;
        }
        if (IsPlainAscii(m_in[m_pos])) {
            const std::size_t start = m_pos;
            while (m_pos < m_in.size() && IsPlainAscii(m_in[m_pos])) {
                ++m_pos;
            }
            m_out.SystemText(m_in.data() + start, m_pos - start);
            return;
        }
        if (byte < 0x80) {
            ++m_pos;
            EmitChar(byte);  // a control character (TAB among them)
            return;
        }
        const std::size_t length =
            SystemCodePageCharLength(m_in.data() + m_pos, m_in.size() - m_pos);
        if (length == 0) {
            // Not a character of the system code page: "?" for this byte, the next read afresh.
            ++m_pos;
            EmitChar(U'?');
            return;
        }
        FlushBytes();
        m_out.SystemText(m_in.data() + m_pos, length);
        m_pos += length;
    }

    // The bytes of the raw character at m_pos; a byte that starts none counts alone.
    std::size_t RawCharLength() const {
        return std::max<std::size_t>(
            SystemCodePageCharLength(m_in.data() + m_pos, m_in.size() - m_pos), 1);
    }

    void ReadControl(bool isFallback, bool atGroupStart) {
        if (m_pos >= m_in.size()) {
            return;  // a lone backslash ends the input
        }
        if (IsLetter(m_in[m_pos])) {
            ReadControlWord(isFallback);
        } else {
            ReadControlSymbol(m_in[m_pos++], isFallback, atGroupStart);
        }
    }

    void ReadControlWord(bool isFallback) {
        const std::size_t nameStart = m_pos;
        while (m_pos < m_in.size() && IsLetter(m_in[m_pos])) {
            ++m_pos;
        }
        const std::string_view name = m_in.substr(nameStart, m_pos - nameStart);

        bool negative = false;
        if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && IsDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        bool hasParameter = false;
        std::int64_t value = 0;
        while (m_pos < m_in.size() && IsDigit(m_in[m_pos])) {
            value = std::min(value * 10 + (m_in[m_pos] - '0'), kMaxParameter);
            hasParameter = true;
            ++m_pos;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ') {
            ++m_pos;
        }
        const int parameter = static_cast<int>(negative ? -value : value);

        const ControlWordInfo info = LookupControlWord(name);
        if (info.kind == ControlWordKind::Binary) {
            // The data is never text, whatever destination or fallback it sits in.
            const std::size_t length = hasParameter && parameter > 0 ? parameter : 0;
            m_pos += std::min(length, m_in.size() - m_pos);
            return;
        }
        if (isFallback) {
            return;
        }
        switch (m_group.destination) {
            case Destination::Text:
                DoTextControlWord(info, hasParameter, parameter);
                break;
            case Destination::FontTable:
                DoFontTableControlWord(info, hasParameter, parameter);
                break;
            case Destination::Skipped:
                break;
        }
    }

    void DoTextControlWord(ControlWordInfo info, bool hasParameter, int parameter) {
        switch (info.kind) {
            case ControlWordKind::ParagraphMark:
                FlushBytes();
                m_out.ParagraphMark();
                break;
            case ControlWordKind::Symbol:
                EmitChar(info.symbol);
                break;
            case ControlWordKind::DocumentCharset:
                m_ansiCodePage = static_cast<int>(info.symbol);
                ++m_codePageSettings;
                break;
            case ControlWordKind::AnsiCodePage:
                if (hasParameter) {
                    m_ansiCodePage = parameter;
                    ++m_codePageSettings;
                }
                break;
            case ControlWordKind::DefaultFont:
                if (hasParameter) {
                    m_defaultFont = parameter;
                    ++m_codePageSettings;
                }
                break;
            case ControlWordKind::Font:
                if (hasParameter) {
                    m_group.font = parameter;
                }
                break;
            case ControlWordKind::Plain:
                m_group.font = kNoFont;
                break;
            case ControlWordKind::Unicode:
                if (hasParameter) {
                    FlushBytes();
                    // Negative values are the signed 16-bit form of the unit.
                    const int unit = parameter < 0 ? parameter + 65536 : parameter;
                    m_out.Utf16Unit(static_cast<std::uint16_t>(unit));
                    m_fallbackToSkip = m_group.fallbackCount;
                }
                break;
            case ControlWordKind::UnicodeFallbackCount:
                if (hasParameter) {
                    m_group.fallbackCount = std::clamp(parameter, 0, kMaxFallbackCount);
                }
                break;
            case ControlWordKind::FontTable:
                m_group.destination = Destination::FontTable;
                m_fontBeingDefined = kNoFont;
                break;
            case ControlWordKind::SkippedDestination:
                m_group.destination = Destination::Skipped;
                break;
            default:
                break;
        }
    }

    // The font table is not text, but its entries say which code page each font's text is in.
    void DoFontTableControlWord(ControlWordInfo info, bool hasParameter, int parameter) {
        switch (info.kind) {
            case ControlWordKind::Font:
                if (hasParameter) {
                    m_fontBeingDefined = parameter;
                }
                break;
            case ControlWordKind::FontCharset:
                if (hasParameter && m_fontBeingDefined != kNoFont) {
                    m_fonts[m_fontBeingDefined].fromCharset = CodePageOfCharset(parameter);
                    ++m_codePageSettings;
                }
                break;
            case ControlWordKind::FontCodePage:
                if (hasParameter && m_fontBeingDefined != kNoFont) {
                    m_fonts[m_fontBeingDefined].fromCpg = parameter;
                    ++m_codePageSettings;
                }
                break;
            case ControlWordKind::SkippedDestination:
                m_group.destination = Destination::Skipped;
                break;
            default:
                break;
        }
    }

    void ReadControlSymbol(char symbol, bool isFallback, bool atGroupStart) {
        if (symbol == '\'') {
            int byte = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_in.size() && HexValue(m_in[m_pos]) >= 0) {
                byte = byte * 16 + HexValue(m_in[m_pos++]);
                ++digits;
            }
            // \'00 gives nothing: a NUL would cut the text short for most of its readers.
            if (digits > 0 && byte != 0 && !isFallback &&
                m_group.destination == Destination::Text) {
                AddByte(static_cast<unsigned char>(byte));
            }
            return;
        }
        if (symbol == '*') {
            if (atGroupStart && !isFallback) {
                m_group.destination = Destination::Skipped;
            }
            return;
        }
        if (isFallback || m_group.destination != Destination::Text) {
            return;
        }
        switch (symbol) {
            case '\r':
            case '\n':
                FlushBytes();
                m_out.ParagraphMark();
                break;
            case '\\':
            case '{':
            case '}':
                // May be the trail byte of a double-byte character.
                if (m_pendingLength > 0) {
                    AddByte(static_cast<unsigned char>(symbol));
                } else {
                    m_out.Char(static_cast<char32_t>(symbol));
                }
                break;
            case '~':
                EmitChar(0x00A0);
                break;
            case '_':
                EmitChar(0x2011);
                break;
            default:
                break;  // \- (optional hyphen) and the unknown ones give nothing
        }
    }

    CodePageDecoder& CurrentDecoder() {
        const int font = m_group.font != kNoFont ? m_group.font : m_defaultFont;
        if (m_decoder == nullptr || font != m_decoderFont ||
            m_decoderSettings != m_codePageSettings) {
            int codePage = m_ansiCodePage;
            if (font != kNoFont) {
                const auto entry = m_fonts.find(font);
                if (entry != m_fonts.end() && entry->second.Effective() > 0) {
                    codePage = entry->second.Effective();
                }
            }
            m_decoder = &ThreadCodePageDecoders().Get(codePage);
            m_decoderFont = font;
            m_decoderSettings = m_codePageSettings;
        }
        return *m_decoder;
    }

    // One byte of text in the current code page; double-byte characters wait for their trail.
    void AddByte(unsigned char byte) {
        if (m_pendingLength == 0) {
            CodePageDecoder& decoder = CurrentDecoder();
            const std::int32_t single = decoder.Single(byte);
            if (single >= 0) {
                m_out.Char(static_cast<char32_t>(single));
            } else if (single == CodePageDecoder::kInvalidByte) {
                m_out.Char(U'?');
            } else {
                m_pending[0] = byte;
                m_pendingLength = 1;
                m_pendingDecoder = &decoder;
            }
            return;
        }
        m_pending[m_pendingLength++] = byte;
        const auto result = m_pendingDecoder->DecodeSequence(m_pending.data(), m_pendingLength);
        if (result.status == CodePageDecoder::Status::Decoded) {
            m_pendingLength = 0;
            for (std::size_t i = 0; i < result.count; ++i) {
                m_out.Char(result.cps[i]);
            }
            return;
        }
        if (result.status == CodePageDecoder::Status::Incomplete &&
            m_pendingLength < CodePageDecoder::kMaxSequence) {
            return;
        }
        // The lead byte was not followed by a valid sequence: it becomes "?" and the bytes after
        // it are read afresh. Each round is one byte shorter, so this ends.
        m_out.Char(U'?');
        const auto rest = m_pending;
        const std::size_t restLength = m_pendingLength - 1;
        m_pendingLength = 0;
        for (std::size_t i = 1; i <= restLength; ++i) {
            AddByte(rest[i]);
        }
    }

    void FlushBytes() {
        if (m_pendingLength > 0) {
            m_pendingLength = 0;
            m_out.Char(U'?');
        }
    }

    void EmitChar(char32_t cp) {
        FlushBytes();
        m_out.Char(cp);
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    PlainTextWriter m_out;

    GroupState m_group;
    GroupStack<GroupState> m_stack;
    bool m_atGroupStart = false;
    int m_fallbackToSkip = 0;

    int m_ansiCodePage = 1252;
    int m_defaultFont = kNoFont;
    std::unordered_map<int, FontCodePages> m_fonts;
    int m_fontBeingDefined = kNoFont;
    std::uint64_t m_codePageSettings = 0;  // bumped whenever the code page of a font may change

    CodePageDecoder* m_decoder = nullptr;
    int m_decoderFont = kNoFont;
    std::uint64_t m_decoderSettings = 0;

    std::array<unsigned char, CodePageDecoder::kMaxSequence> m_pending{};
    std::size_t m_pendingLength = 0;
    CodePageDecoder* m_pendingDecoder = nullptr;
};

}  // namespace

std::string RtfToPlainText(std::string_view input) {
    // Only a rich-text document begins with its header; anything else, "{Name} is ..." included,
    // is the user's plain text.
    if (!input.starts_with("{\\rtf")) {
        return std::string(input);
    }
    return RtfReader(input).Read();
}
