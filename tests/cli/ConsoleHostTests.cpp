// The console host's own output: the prefix of its messages and the progress line on a terminal
// of a given width.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/ConsoleHost.h"

namespace {

struct WidthCase {
    std::size_t columns;  // 0: the terminal does not say
    const char* shown;    // the line for 58801 of 100000 phrases copied
};

void PrintTo(const WidthCase& c, std::ostream* out) { *out << c.columns << " columns"; }

class ProgressLineWidth : public testing::TestWithParam<WidthCase> {};

// The line stops short of the last column, where the terminal would wrap it and every redraw
// would leave a line behind; clearing it blanks no more than was drawn.
TEST_P(ProgressLineWidth, IsCutToTheTerminal) {
    std::ostringstream out;
    std::ostringstream err;
    ConsoleHost host(out, err, true);
    host.SetTerminalColumns([] { return GetParam().columns; });
    host.ReportProgress({ConversionPass::CopyPhrases, 0, 100000});
    err.str("");
    host.ReportProgress({ConversionPass::CopyPhrases, 100000, 100000});
    EXPECT_EQ(err.str(), std::string("\r") + GetParam().shown);
    err.str("");
    host.RunEnded();
    EXPECT_EQ(err.str(), "\r" + std::string(std::string(GetParam().shown).size(), ' ') + "\r");
}

INSTANTIATE_TEST_SUITE_P(Terminals, ProgressLineWidth,
                         testing::Values(WidthCase{0, "Copying phrases: 100000 of 100000 rows"},
                                         WidthCase{80, "Copying phrases: 100000 of 100000 rows"},
                                         WidthCase{39, "Copying phrases: 100000 of 100000 rows"},
                                         WidthCase{38, "Copying phrases: 100000 of 100000 row"},
                                         WidthCase{20, "Copying phrases: 10"}),
                         [](const auto& info) {
                             return "Columns" + std::to_string(info.param.columns);
                         });

// Every message on standard error names the program first; the completion message and what the
// run changed go to standard output as they are, and so do the details of an error.
TEST(ConsoleMessages, OnStandardErrorBeginWithTheProgramsName) {
    std::ostringstream out;
    std::ostringstream err;
    ConsoleHost host(out, err);
    host.ShowOwnedMessage("Error opening VeltraneSystemPath registry key.", "Ferrowick", 0x40);
    host.ShowAppMessageWithDetails("Could not find file 'x'.  \r\rDAO Code:  3024", 0,
                                   "Stopped while copying phrases.\nPhrases added: 1");
    host.ShowOwnedMessageWithDetails("Conversion complete!", "Tallowmere", 0, "Phrases added: 1");
    EXPECT_EQ(err.str(),
              "tallowmere-convert: Error opening VeltraneSystemPath registry key.\n"
              "tallowmere-convert: Could not find file 'x'.  \n\nDAO Code:  3024\n"
              "Stopped while copying phrases.\nPhrases added: 1\n");
    EXPECT_EQ(out.str(), "Conversion complete!\nPhrases added: 1\n");
    EXPECT_TRUE(host.Completed());
    EXPECT_TRUE(host.ErrorReported());
}

}  // namespace
