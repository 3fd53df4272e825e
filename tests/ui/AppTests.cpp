#include <gtest/gtest.h>

#include <ostream>

#include "app/CConvertApp.h"

namespace {

struct NameCase {
    const char* path;
    const char* name;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const NameCase& c, std::ostream* out) { *out << c.path; }

class AppNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(AppNameTest, IsTheExecutablesBaseName) {
    EXPECT_EQ(ApplicationNameFromPath(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, AppNameTest,
                         ::testing::Values(NameCase{"/opt/tallowmere/Tallowmere", "Tallowmere"},
                                           NameCase{"./Tallowmere.EXE", "Tallowmere"},
                                           NameCase{"/tmp/Copy of it.exe", "Copy of it"},
                                           NameCase{"/tmp/my.tool.exe", "my.tool"},
                                           NameCase{"Renamed", "Renamed"}));

}  // namespace
