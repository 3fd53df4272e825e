#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "convert/BracedId.h"

namespace {

struct BracedCase {
    const char* given;
    const char* result;
    const char* left;  // the buffer's text afterwards
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BracedCase& c, std::ostream* out) { *out << "\"" << c.given << "\""; }

class ExtractBracedIdTest : public testing::TestWithParam<BracedCase> {};

TEST_P(ExtractBracedIdTest, GivesTheBracedPartAndCutsTheTail) {
    const BracedCase& c = GetParam();
    std::string text = c.given;
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(ExtractBracedId(buffer.data()), c.result);
    EXPECT_STREQ(buffer.data(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExtractBracedIdTest,
    testing::Values(BracedCase{"K{12-AB}", "{12-AB}", "K{12-AB}"},
                    BracedCase{"K{12-AB}x", "{12-AB}", "K{12-AB}"},
                    BracedCase{"{12-AB}", "{12-AB}", "{12-AB}"},
                    BracedCase{"{1}{2}", "{2}", "{1}{2}"}, BracedCase{"K{12", "K{12", "K{12"},
                    BracedCase{"12", "12", "12"}, BracedCase{"", "", ""},
                    // Beyond the examples: the first "}" after the chosen "{" ends the part,
                    // and nothing inside the braces is examined.
                    BracedCase{"K{a}{b}", "{a}", "K{a}"}, BracedCase{"K}{1}", "{1}", "K}{1}"},
                    BracedCase{"K{{1}}", "{{1}", "K{{1}"}, BracedCase{"K{}", "{}", "K{}"},
                    BracedCase{"K{ 1 }  ", "{ 1 }", "K{ 1 }"}, BracedCase{"{", "{", "{"},
                    BracedCase{"{}x", "{}x", "{}x"}, BracedCase{"x{", "x{", "x{"},
                    BracedCase{"K{\xC3\xA9}\xC3\xA9", "{\xC3\xA9}", "K{\xC3\xA9}"}));

TEST(ExtractBracedId, CutWritesOneZeroRightAfterTheClosingBrace) {
    char buffer[] = "K{1}tail";
    EXPECT_EQ(ExtractBracedId(buffer), "{1}");
    // Only the byte after the brace changes; the rest of the buffer is left as it was.
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("K{1}\0ail\0", 9));
}

TEST(ExtractBracedId, NoBufferGivesEmpty) { EXPECT_EQ(ExtractBracedId(nullptr), ""); }

}  // namespace
