// Code pages through the C library's iconv (glibc's tables).
#include <iconv.h>

#include <cerrno>
#include <string>

#include "richtext/CodePages.h"

namespace {

std::string IconvName(int codePage) {
    switch (codePage) {
        case 65001:
            return "UTF-8";
        case 10000:
            return "MACINTOSH";
        default:
            return "CP" + std::to_string(codePage);
    }
}

iconv_t AsIconv(void* handle) { return static_cast<iconv_t>(handle); }

}  // namespace

std::unique_ptr<CodePageDecoder> CodePageDecoder::Open(int codePage) {
    if (codePage <= 0) {
        return nullptr;
    }
    iconv_t handle = iconv_open("UTF-32LE", IconvName(codePage).c_str());
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        return nullptr;
    }
    return std::unique_ptr<CodePageDecoder>(new CodePageDecoder(codePage, handle));
}

CodePageDecoder::~CodePageDecoder() {
    if (m_handle != nullptr) {
        iconv_close(AsIconv(m_handle));
    }
}

CodePageDecoder::Result CodePageDecoder::ConvertNative(const unsigned char* bytes,
                                                       std::size_t length) {
    Result result;
    iconv_t cd = AsIconv(m_handle);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    std::array<char, 4 * 4> out{};
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    std::size_t inLeft = length;
    char* outPos = out.data();
    std::size_t outLeft = out.size();
    const std::size_t converted = iconv(cd, &in, &inLeft, &outPos, &outLeft);
    const int error = converted == static_cast<std::size_t>(-1) ? errno : 0;
    // Some converters hold a character back until told the input has ended.
    iconv(cd, nullptr, nullptr, &outPos, &outLeft);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    if (error == EINVAL) {
        result.status = Status::Incomplete;
        return result;
    }
    if (error != 0 || inLeft != 0) {
        result.status = Status::Invalid;
        return result;
    }
    const std::size_t produced = (out.size() - outLeft) / 4;
    for (std::size_t i = 0; i < produced; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(out.data() + 4 * i);
        result.cps[i] = char32_t{p[0]} | (char32_t{p[1]} << 8) | (char32_t{p[2]} << 16) |
                        (char32_t{p[3]} << 24);
    }
    result.count = produced;
    result.status = produced > 0 ? Status::Decoded : Status::Invalid;
    return result;
}
