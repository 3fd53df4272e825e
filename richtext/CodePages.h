#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

// Windows code pages decoded by the platform: the C library's iconv, or on Windows the system's own
// tables (whose answers differ in places, e.g. for bytes a code page leaves undefined). One
// decoder per code page and thread, opened on first use and kept, so that decoding a byte is a
// table look-up.
class CodePageDecoder {
public:
    static constexpr std::size_t kMaxSequence = 4;

    enum class Status { Decoded, Incomplete, Invalid };
    struct Result {
        Status status = Status::Invalid;
        std::size_t count = 0;  // code points in cps
        std::array<char32_t, 4> cps{};
    };

    // Null when the platform knows no such code page.
    static std::unique_ptr<CodePageDecoder> Open(int codePage);
    // Decodes ASCII and nothing else; for when the platform cannot even open the fallback.
    static std::unique_ptr<CodePageDecoder> AsciiOnly(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int CodePage() const { return m_codePage; }

    static constexpr std::int32_t kLeadByte = -1;
    static constexpr std::int32_t kInvalidByte = -2;
    // The code point of a single byte, kLeadByte when it starts a longer sequence, or kInvalidByte.
    std::int32_t Single(unsigned char byte) const { return m_single[byte]; }
    // A sequence of 2 to kMaxSequence bytes starting with a lead byte.
    Result DecodeSequence(const unsigned char* bytes, std::size_t length);

private:
    CodePageDecoder(int codePage, void* handle);
    Result Convert(const unsigned char* bytes, std::size_t length);
    Result ConvertNative(const unsigned char* bytes, std::size_t length);  // per platform

    int m_codePage;
    void* m_handle;  // the platform's converter state, or null for AsciiOnly
    std::array<std::int32_t, 256> m_single{};
};

// The decoders opened so far on this thread. A code page the platform does not know is read as
// 1252.
class CodePageDecoders {
public:
    CodePageDecoder& Get(int codePage);

private:
    std::vector<std::unique_ptr<CodePageDecoder>> m_open;
    std::unordered_set<int> m_unknown;  // tried and not known to the platform
};

CodePageDecoders& ThreadCodePageDecoders();

// The code page a font's \fcharset stands for; 0 when it gives none and the document's applies.
int CodePageOfCharset(int charset);
