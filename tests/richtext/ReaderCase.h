#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "richtext/RtfReader.h"

// One row of a reader table: an RTF string and the plain text it must give.
struct ReaderCase {
    std::string name;
    std::string rtf;
    std::string expected;
};

inline std::ostream& operator<<(std::ostream& out, const ReaderCase& c) { return out << c.name; }

inline std::string ReaderCaseName(const testing::TestParamInfo<ReaderCase>& info) {
    return info.param.name;
}

// Declares a table-driven suite whose rows each check RtfToPlainText(rtf) == expected.
#define TALLOWMERE_READER_TABLE(Suite, ...)                                                        \
    class Suite : public testing::TestWithParam<ReaderCase> {};                                    \
    TEST_P(Suite, GivesExpectedText) {                                                             \
        EXPECT_EQ(RtfToPlainText(GetParam().rtf), GetParam().expected);                            \
    }                                                                                              \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, testing::ValuesIn(std::vector<ReaderCase>{__VA_ARGS__}), \
                             ReaderCaseName)
