#include "db/odbc/OdbcText.h"

#include "db/DaoException.h"

namespace {

// The code point at text[at] and the bytes it takes; 0 bytes when the bytes there are not UTF-8.
std::size_t DecodeUtf8(const std::string& text, std::size_t at, char32_t& point) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || at + length > text.size()) return 0;
    point = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        point = (point << 6) | (byte(at + i) & 0x3F);
    }
    static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = 0;
        const std::size_t length = DecodeUtf8(text, at, point);
        count += length == 4 ? 2 : 1;
        at += length == 0 ? 1 : length;
    }
    return count;
}

std::u16string WideFromText(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = 0;
        const std::size_t length = DecodeUtf8(text, at, point);
        if (length == 0) {
            ThrowDaoException(DaoError::TypeConversion,
                              "Data type conversion error: a text is not in the system code page "
                              "(UTF-8) at byte " +
                                  std::to_string(at + 1) + ".");
        }
        if (point >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(point);
        }
        at += length;
    }
    return wide;
}

std::string TextFromWide(const std::u16string& wide) {
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t point = wide[i];
        if (point >= 0xD800 && point <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            point = 0x10000 + ((point - 0xD800) << 10) + (wide[++i] - 0xDC00);
        } else if (point >= 0xD800 && point <= 0xDFFF) {
            point = 0xFFFD;  // half a pair: no character of any code page
        }
        if (point < 0x80) {
            text += static_cast<char>(point);
        } else if (point < 0x800) {
            text += static_cast<char>(0xC0 | (point >> 6));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            text += static_cast<char>(0xE0 | (point >> 12));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (point >> 18));
            text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return text;
}
