#include "richtext/CodePages.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace {

constexpr int kFallbackCodePage = 1252;

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

std::unique_ptr<CodePageDecoder> CodePageDecoder::AsciiOnly(int codePage) {
    return std::unique_ptr<CodePageDecoder>(new CodePageDecoder(codePage, nullptr));
}

CodePageDecoder::CodePageDecoder(int codePage, void* handle)
    : m_codePage(codePage), m_handle(handle) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto value = static_cast<unsigned char>(byte);
        const Result result = Convert(&value, 1);
        if (result.status == Status::Decoded && result.count == 1) {
            m_single[value] = static_cast<std::int32_t>(result.cps[0]);
        } else if (result.status == Status::Incomplete) {
            m_single[value] = kLeadByte;
        } else {
            m_single[value] = kInvalidByte;
        }
        if (byte < 0x80 && m_single[value] != byte) {
            m_asciiIsIdentity = false;
        }
    }
}

CodePageDecoder::~CodePageDecoder() {
    if (m_handle != nullptr) {
        iconv_close(AsIconv(m_handle));
    }
}

CodePageDecoder::Result CodePageDecoder::DecodeSequence(const unsigned char* bytes,
                                                        std::size_t length) {
    return Convert(bytes, std::min(length, kMaxSequence));
}

CodePageDecoder::Result CodePageDecoder::Convert(const unsigned char* bytes, std::size_t length) {
    Result result;
    if (m_handle == nullptr) {
        if (length == 1 && bytes[0] < 0x80) {
            result.status = Status::Decoded;
            result.count = 1;
            result.cps[0] = bytes[0];
        }
        return result;
    }
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

CodePageDecoder& CodePageDecoders::Get(int codePage) {
    for (const auto& decoder : m_open) {
        if (decoder->CodePage() == codePage) {
            return *decoder;
        }
    }
    // Code page numbers are 16-bit, so each thread tries at most 65,535 names, each once.
    const bool plausible = codePage > 0 && codePage <= 0xFFFF;
    if (plausible && m_unknown.insert(codePage).second) {
        if (auto decoder = CodePageDecoder::Open(codePage)) {
            m_unknown.erase(codePage);
            m_open.push_back(std::move(decoder));
            return *m_open.back();
        }
    }
    if (codePage != kFallbackCodePage) {
        return Get(kFallbackCodePage);
    }
    // Only without a working iconv: keep reading, with ASCII alone.
    m_open.push_back(CodePageDecoder::AsciiOnly(kFallbackCodePage));
    return *m_open.back();
}

CodePageDecoders& ThreadCodePageDecoders() {
    thread_local CodePageDecoders decoders;
    return decoders;
}

int CodePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        default:
            return 0;
    }
}
