// Code pages through the Windows API: the system's own tables.
#include <windows.h>

#include "richtext/CodePages.h"

namespace {

struct CodePageInfo {
    UINT codePage;
    UINT maxCharSize;
    DWORD flags;  // MB_ERR_INVALID_CHARS, or 0 where the code page refuses it
};

CodePageInfo& Info(void* handle) { return *static_cast<CodePageInfo*>(handle); }

// How many bytes a UTF-8 sequence starting with this byte has; 0 for a byte no sequence starts
// with.
std::size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Whether bytes that failed to convert may still become a character once more bytes follow.
bool MayContinue(const CodePageInfo& info, const unsigned char* bytes, std::size_t length) {
    if (info.codePage == CP_UTF8) {
        const std::size_t needed = Utf8Length(bytes[0]);
        if (length >= needed) return false;
        for (std::size_t i = 1; i < length; ++i) {
            if ((bytes[i] & 0xC0) != 0x80) return false;
        }
        return true;
    }
    if (info.maxCharSize == 2) return length == 1 && IsDBCSLeadByteEx(info.codePage, bytes[0]);
    return length < info.maxCharSize;
}

}  // namespace

std::unique_ptr<CodePageDecoder> CodePageDecoder::Open(int codePage) {
    if (codePage <= 0 || codePage > 0xFFFF) return nullptr;
    const auto number = static_cast<UINT>(codePage);
    CPINFO cpInfo{};
    if (!IsValidCodePage(number) || !GetCPInfo(number, &cpInfo)) return nullptr;
    auto* info = new CodePageInfo{number, cpInfo.MaxCharSize, MB_ERR_INVALID_CHARS};
    // A few stateful code pages (the ISO-2022 family, UTF-7, Symbol) take no flags at all.
    WCHAR probe[2];
    const char letter = 'a';
    if (MultiByteToWideChar(number, info->flags, &letter, 1, probe, 2) == 0 &&
        GetLastError() == ERROR_INVALID_FLAGS) {
        info->flags = 0;
    }
    return std::unique_ptr<CodePageDecoder>(new CodePageDecoder(codePage, info));
}

CodePageDecoder::~CodePageDecoder() { delete static_cast<CodePageInfo*>(m_handle); }

CodePageDecoder::Result CodePageDecoder::ConvertNative(const unsigned char* bytes,
                                                       std::size_t length) {
    Result result;
    const CodePageInfo& info = Info(m_handle);
    if (info.maxCharSize == 2 && length == 1 && IsDBCSLeadByteEx(info.codePage, bytes[0])) {
        result.status = Status::Incomplete;
        return result;
    }
    WCHAR wide[8];
    const int produced =
        MultiByteToWideChar(info.codePage, info.flags, reinterpret_cast<const char*>(bytes),
                            static_cast<int>(length), wide, static_cast<int>(std::size(wide)));
    if (produced <= 0) {
        result.status = MayContinue(info, bytes, length) ? Status::Incomplete : Status::Invalid;
        return result;
    }
    for (int i = 0; i < produced && result.count < result.cps.size(); ++i) {
        char32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < produced && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t{wide[i + 1]} - 0xDC00);
            ++i;
        }
        result.cps[result.count++] = cp;
    }
    result.status = Status::Decoded;
    return result;
}
