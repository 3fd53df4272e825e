// Bytes decoded in the code page of the document or the current font, and \u with its fallback.
#include "ReaderCase.h"

using namespace std::string_literals;

// A font table giving font 0 the document code page and font 1 the given charset.
std::string WithFonts(const std::string& body, const std::string& font1 = R"(\fcharset204)") {
    return R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Sans;}{\f1\fnil)" + font1 +
           " Other;}}" + body + "}";
}

// Bytes a code page leaves undefined decode the platform's way: glibc's iconv refuses 1252's 0x81
// (read as "?"), Windows' own table maps it to U+0081. Each platform keeps its own answer.
#ifdef _WIN32
#define TALLOWMERE_UNDEFINED_1252_81 "a\u0081b"
#else
#define TALLOWMERE_UNDEFINED_1252_81 "a?b"
#endif

TALLOWMERE_READER_TABLE(
    DocumentCodePage, {"DefaultIs1252", R"({\rtf1 caf\'e9})", "café"},
    {"UpperCaseHex", R"({\rtf1 caf\'E9})", "café"},
    {"Windows1252Specials", R"({\rtf1 \'80\'85\'93\'94})", "€…“”"},
    {"UndefinedByteThePlatformsWay", R"({\rtf1 a\'81b})", TALLOWMERE_UNDEFINED_1252_81},
    {"OneHexDigit", R"({\rtf1 \'9x})", "\x09x"}, {"NoHexDigits", R"({\rtf1 \'zz})", "zz"},
    {"CentralEuropean1250", R"({\rtf1\ansi\ansicpg1250 \'b9\'e8})", "ąč"},
    {"Cyrillic1251", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})", "Привет"},
    {"Greek1253", R"({\rtf1\ansi\ansicpg1253 \'e1\'e2\'e3})", "αβγ"},
    {"Turkish1254", R"({\rtf1\ansi\ansicpg1254 \'fe\'f0})", "şğ"},
    {"Hebrew1255", R"({\rtf1\ansi\ansicpg1255 \'f9\'ec})", "של"},
    {"Arabic1256", R"({\rtf1\ansi\ansicpg1256 \'d3})", "س"},
    {"Baltic1257", R"({\rtf1\ansi\ansicpg1257 \'e0})", "ą"},
    {"Vietnamese1258NotComposed", R"({\rtf1\ansi\ansicpg1258 a\'ec})", "a\u0301"},
    {"Thai874", R"({\rtf1\ansi\ansicpg874 \'ca\'c7\'d1\'ca\'b4\'d5})", "สวัสดี"},
    {"UnknownCodePageReadAs1252", R"({\rtf1\ansi\ansicpg99999 \'e9})", "é"},
    {"MacCharset", R"({\rtf1\mac \'8e})", "é"});

TALLOWMERE_READER_TABLE(
    FontCodePage, {"CyrillicFontCharset", WithFonts(R"(\f1 \'cf\'f0\'e8\'e2\'e5\'f2)"), "Привет"},
    {"DefaultFontUntilFontChanges", WithFonts(R"(\'e9\f1\'e9\f0\'e9)"), "éйé"},
    {"DefaultFontFromDeff", R"({\rtf1\ansi\deff1{\fonttbl{\f0 A;}{\f1\fcharset161 B;}}\'e1})", "α"},
    {"FontScopedToGroup", WithFonts(R"({\f1\'e9}\'e9)"), "йé"},
    {"PlainReturnsToDefaultFont", WithFonts(R"(\f1\'e9\plain\'e9)"), "йé"},
    {"CpgOverridesCharset", WithFonts(R"(\f1\'e1)", R"(\fcharset0\cpg1253)"), "α"},
    {"CharsetOverridesDocumentCodePage",
     R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset161 G;}}\f0\'e1})", "α"},
    {"DefaultCharsetUsesDocumentCodePage",
     R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset1 D;}}\f0\'e1})", "б"},
    {"UndeclaredFontUsesDocumentCodePage", R"({\rtf1\ansi\ansicpg1253 \f7\'e1})", "α"},
    {"GreekFontCharset", WithFonts(R"(\f1\'e1)", R"(\fcharset161)"), "α"},
    {"ThaiFontCharset", WithFonts(R"(\f1\'a1)", R"(\fcharset222)"), "ก"},
    {"FontTableSubgroupsIgnored",
     WithFonts(R"(\f1\'e9)", R"(\fcharset204{\*\panose 020b0604020202020204}{\*\falt X})"), "й"});

TALLOWMERE_READER_TABLE(
    DoubleByteCodePages,
    {"ShiftJisEscapePair", WithFonts(R"(\f1\'82\'a0)", R"(\fcharset128)"), "あ"},
    {"ShiftJisLeadEscapeLiteralTrail", WithFonts(R"(\f1\'83n)", R"(\fcharset128)"), "ハ"},
    {"ShiftJisAnsiCodePage", R"({\rtf1\ansi\ansicpg932 \'82\'a0\'83n})", "あハ"},
    {"ShiftJisSingleByteKatakana", R"({\rtf1\ansi\ansicpg932 \'b1})", "ｱ"},
    {"ShiftJisBadTrailIsQuestionMark", R"({\rtf1\ansi\ansicpg932 \'82 x})", "? x"},
    {"ShiftJisLeadAtEnd", R"({\rtf1\ansi\ansicpg932 a\'82})", "a?"},
    {"ShiftJisLeadBeforeMark", R"({\rtf1\ansi\ansicpg932 \'82\par b})", "?\r\nb"},
    {"SimplifiedChinese936", R"({\rtf1\ansi\ansicpg936 \'b0\'a1})", "啊"},
    {"Korean949", R"({\rtf1\ansi\ansicpg949 \'b0\'a1})", "가"},
    {"TraditionalChinese950", R"({\rtf1\ansi\ansicpg950 \'a4\'a4})", "中"});

// UTF-8 as a document code page: sequences of two to four bytes, and what is left of a broken one.
TALLOWMERE_READER_TABLE(Utf8CodePage,
                        {"TwoBytes", R"({\rtf1\ansi\ansicpg65001 caf\'c3\'a9})", "café"},
                        {"ThreeBytes", R"({\rtf1\ansi\ansicpg65001 \'e2\'82\'ac})", "€"},
                        {"FourBytes", R"({\rtf1\ansi\ansicpg65001 \'f0\'9f\'98\'80})", "😀"},
                        {"CutShortByAnotherByte", R"({\rtf1\ansi\ansicpg65001 \'e2\'82x})", "??x"},
                        {"LoneContinuationByte", R"({\rtf1\ansi\ansicpg65001 a\'80b})", "a?b"},
                        {"LeadAtEnd", R"({\rtf1\ansi\ansicpg65001 a\'c3})", "a?"});

TALLOWMERE_READER_TABLE(UnicodeEscapes, {"UnicodeWithFallback", R"({\rtf1 a\u8212?b})", "a—b"},
                        {"NegativeMeansPlus65536", R"({\rtf1 \u-3?})", "\uFFFD"},
                        {"FallbackEscapeCountsAsOne", R"({\rtf1 \u233\'e9x})", "éx"},
                        {"FallbackOfZero", R"({\rtf1\uc0 \u233 x})", "éx"},
                        {"FallbackOfTwo", R"({\rtf1\uc2 \u1046\'c6\'e6x})", "Жx"},
                        {"FallbackCountScopedToGroup",
                         WithFonts(R"(\f1 \'c0{\uc2\u1046 ab}c\u1046 ?d)"), "АЖcЖd"},
                        {"BraceEndsFallback", R"({\rtf1 {\uc3\u233 a}b})", "éb"},
                        {"ControlWordCountsAsFallback", R"({\rtf1 \u233\emdash x})", "éx"},
                        {"CrLfNotCountedAsFallback", "{\\rtf1 \\u233\r\n?x}", "éx"},
                        {"SurrogatePair", R"({\rtf1 \u-10179?\u-8704?})", "😀"},
                        {"LoneHighSurrogate", R"({\rtf1 \u-10179?x})", "?x"},
                        {"LoneLowSurrogate", R"({\rtf1 \u-8704?x})", "?x"},
                        {"UnicodeWithoutParameterIgnored", R"({\rtf1 \u x})", "x"},
                        {"UnicodeAtEndWithoutFallback", R"({\rtf1 \u233})", "é"});

// Raw (unescaped) bytes reach the reader in the system code page, whatever code page the document
// or its font declares; escapes stay in the document's code page.
TALLOWMERE_READER_TABLE(RawTextInSystemCodePage,
                        {"In1252Document", "{\\rtf1\\ansi\\ansicpg1252 café}", "café"},
                        {"InCyrillicDocument", "{\\rtf1\\ansi\\ansicpg1251 Привет}", "Привет"},
                        {"InShiftJisFont", WithFonts("\\f1 あハ", R"(\fcharset128)"), "あハ"},
                        {"InUtf8Document", "{\\rtf1\\ansi\\ansicpg65001 é}", "é"},
                        {"ThreeAndFourBytes", "{\\rtf1 €😀}", "€😀"},
                        {"NextToEscapes", R"({\rtf1\ansi\ansicpg1251 \'cfП\'cf})", "ППП"},
                        {"EscapedLeadThenRawCharacter", R"({\rtf1\ansi\ansicpg932 \'82é})", "?é"},
                        {"ControlCharacterAsIs",
                         "{\\rtf1 a\x01"
                         "b}",
                         "a\x01"
                         "b"},
                        {"StrayByteIsQuestionMark", "{\\rtf1 caf\xe9}", "caf?"},
                        {"StrayContinuationBytes",
                         "{\\rtf1 a\x80\xbf"
                         "b}",
                         "a??b"},
                        {"CutShortByAnotherByte", "{\\rtf1 a\xe2\x82x}", "a??x"},
                        {"CutShortByBrace", "{\\rtf1 a\xc3{}\xa9}", "a??"},
                        {"CutShortByEndOfInput", "{\\rtf1 a\xf0\x9f\x98", "a???"},
                        {"Overlong", "{\\rtf1 \xc0\xaf\xe0\x80\xaf}", "?????"},
                        {"Surrogate", "{\\rtf1 \xed\xa0\x80}", "???"},
                        {"PastLastCodePoint", "{\\rtf1 \xf4\x90\x80\x80}", "????"},
                        {"LastCodePoint", "{\\rtf1 \xf4\x8f\xbf\xbf}", "\U0010FFFF"});

// A \u fallback written as raw text: each raw character counts once, however many bytes the
// system code page gives it.
TALLOWMERE_READER_TABLE(RawFallback, {"MultiByteCharacterIsOne", "{\\rtf1 \\u8364€x}", "€x"},
                        {"TwoMultiByteCharacters", "{\\rtf1\\uc2 \\u8364éé x}", "€ x"},
                        {"StrayBytesCountOneEach", "{\\rtf1\\uc2 \\u8364\xe9\xe9x}", "€x"},
                        {"MixedWithEscape", "{\\rtf1\\uc2 \\u8364\\'80€x}", "€x"});
