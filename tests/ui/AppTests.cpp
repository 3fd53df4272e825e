#include <gtest/gtest.h>

#include "app/CConvertApp.h"

namespace {

struct NameCase {
    const char* path;
    const char* name;
};

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
