#include "db/jet/JetText.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

// Writes one character as UTF-8 at out, which has room for four bytes; returns the end.
char* PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Joins UTF-16 code units into characters, written as UTF-8 into a buffer with room for three
// bytes a unit.
class Utf16Writer {
public:
    explicit Utf16Writer(char* out) : m_out(out) {}

    void Put(char16_t unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF && m_high != 0) {
            m_out = PutUtf8(m_out, 0x10000 + ((m_high - 0xD800) << 10) + (unit - 0xDC00));
            m_high = 0;
            return;
        }
        Flush();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            m_high = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            m_out = PutUtf8(m_out, 0xFFFD);
        } else {
            m_out = PutUtf8(m_out, unit);
        }
    }

    // Ends the text; returns where it ends.
    char* Finish() {
        Flush();
        return m_out;
    }

private:
    void Flush() {
        if (m_high != 0) m_out = PutUtf8(m_out, 0xFFFD);
        m_high = 0;
    }

    char* m_out;
    char16_t m_high = 0;
};

}  // namespace

std::string Jet4TextToUtf8(const unsigned char* data, std::size_t size) {
    // At most one unit a byte (compressed text), at most three UTF-8 bytes a unit; a surrogate
    // pair takes four bytes for two units.
    std::string out(3 * size + 4, '\0');
    Utf16Writer writer(out.data());
    std::size_t i = 0;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        i = 2;
        bool oneByte = true;
        while (i < size) {
            if (data[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                writer.Put(data[i++]);
            } else if (i + 1 < size) {
                writer.Put(static_cast<char16_t>(data[i] | data[i + 1] << 8));
                i += 2;
            } else {
                break;  // a lone last byte of a two-byte run: damaged, dropped
            }
        }
    } else {
        for (; i + 1 < size; i += 2) writer.Put(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    out.resize(static_cast<std::size_t>(writer.Finish() - out.data()));
    return out;
}

CodePageText::CodePageText(std::uint16_t codePage) : m_converter(reinterpret_cast<void*>(-1)) {
    if (codePage != 0 && codePage != 1252) {
        m_converter = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    }
    if (m_converter == reinterpret_cast<void*>(-1)) m_converter = iconv_open("UTF-8", "CP1252");
}

CodePageText::~CodePageText() {
    if (m_converter != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(m_converter));
}

std::string CodePageText::ToUtf8(const unsigned char* data, std::size_t size) const {
    std::string out;
    if (m_converter == reinterpret_cast<void*>(-1)) {
        // No converter at all: keep ASCII, mark the rest.
        for (std::size_t i = 0; i < size; ++i)
            out += data[i] < 0x80 ? static_cast<char>(data[i]) : '?';
        return out;
    }
    const auto cd = static_cast<iconv_t>(m_converter);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(4 * size + 16);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
    std::size_t inLeft = size;
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG || outLeft == 0) break;  // cannot happen with four bytes a byte
        // A byte the code page leaves undefined (or a cut double-byte character).
        ++in;
        --inLeft;
        *outPtr++ = '?';
        --outLeft;
    }
    out.assign(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    return out;
}
