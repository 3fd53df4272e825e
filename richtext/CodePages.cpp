#include "richtext/CodePages.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kFallbackCodePage = 1252;

}  // namespace

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
    return ConvertNative(bytes, length);
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
    // Only when the platform cannot even decode the fallback: keep reading, with ASCII alone.
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
