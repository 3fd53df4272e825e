// Broken or hostile input: the reader keeps what it has read and never reads past the end.
#include <string>

#include "ReaderCase.h"

using namespace std::string_literals;

TALLOWMERE_READER_TABLE(Malformed, {"MissingClosingBraceKeepsText", R"({\rtf1 abc)", "abc"},
                        {"MissingClosingBracesKeepNestedText", R"({\rtf1 a{\b b{\i c)", "abc"},
                        {"MissingBraceKeepsFinalMarkRule", R"({\rtf1 a\par)", "a"},
                        {"TextAfterOutermostGroupIgnored", R"({\rtf1 a}b{c})", "a"},
                        {"ExtraClosingBraceEndsDocument", R"({\rtf1 a}}b)", "a"},
                        {"LoneBackslashAtEnd", "{\\rtf1 ab\\", "ab"},
                        {"HexEscapeCutShort", "{\\rtf1 ab\\'", "ab"},
                        {"HexEscapeOneDigitAtEnd", "{\\rtf1 ab\\'4", "ab\x04"},
                        {"ControlWordAtEnd", "{\\rtf1 ab\\par", "ab"},
                        {"NegativeSignAtEnd", "{\\rtf1 ab\\li-", "ab-"},
                        {"BinSkipsItsBytes", "{\\rtf1 a\\bin5 }{\\b}c}", "ac"},
                        {"BinInsideSkippedGroup", "{\\rtf1 a{\\pict\\bin2 }}}b}", "ab"},
                        {"BinPastEnd", "{\\rtf1 a\\bin1000 xyz", "a"},
                        {"BinWithoutLength", "{\\rtf1 a\\bin b}", "ab"},
                        {"BinNegativeLength", "{\\rtf1 a\\bin-5 b}", "ab"},
                        {"UnicodeFallbackPastEnd", R"({\rtf1\uc5 a\u233 b)", "aé"},
                        {"NulInsideControlWord", "{\\rtf1 a\\pa\0r b}"s, "a r b"},
                        {"BackslashNul", "{\\rtf1 a\\\0b}"s, "ab"},
                        {"FontCharsetWithoutFont", R"({\rtf1{\fonttbl\fcharset204 X;}\'e9})", "é"},
                        {"StarOutsideGroup", R"({\rtf1 \*a})", "a"});

namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

TEST(MalformedLarge, TenThousandNestedGroups) {
    const std::string rtf = "{\\rtf1 " + Repeat("{a", 10000) + Repeat("}", 10000) + "b}";
    EXPECT_EQ(RtfToPlainText(rtf), Repeat("a", 10000) + "b");
}

TEST(MalformedLarge, TenThousandNestedGroupsEachChangingState) {
    const std::string rtf = "{\\rtf1 " + Repeat("{\\uc2 {\\uc1 x", 5000) + "}";
    EXPECT_EQ(RtfToPlainText(rtf), Repeat("x", 5000));
}

TEST(MalformedLarge, TenThousandNestedSkippedGroupsThenText) {
    const std::string rtf = "{\\rtf1 a" + Repeat("{\\*\\foo ", 10000) + Repeat("}", 10000) + "b}";
    EXPECT_EQ(RtfToPlainText(rtf), "ab");
}

TEST(MalformedLarge, OnlyOpeningBraces) {
    EXPECT_EQ(RtfToPlainText("{\\rtf1" + Repeat("{", 1'000'000)), "");
}

TEST(MalformedLarge, TenMegabytesOfParagraphs) {
    const std::string paragraph = "{\\b w\\'e9rd}\\par ";
    const std::size_t times = 10'000'000 / paragraph.size();
    const std::string text = RtfToPlainText("{\\rtf1\\ansi " + Repeat(paragraph, times) + "}");
    EXPECT_EQ(Count(text, "wérd\r\n"), times - 1);
    EXPECT_EQ(text.size(), times * std::string("wérd").size() + (times - 1) * 2);
}

TEST(MalformedLarge, TenMegabytesOfUnclosedBinary) {
    const std::string rtf =
        "{\\rtf1 a\\bin" + std::to_string(20'000'000) + " " + std::string(10'000'000, '{');
    EXPECT_EQ(RtfToPlainText(rtf), "a");
}
