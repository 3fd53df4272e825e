// Rows at the edges of a run: a destination row whose key equals a source identifier cut after
// its braced part, Nulls in rows the run edits, and phrase text that already ends in the suffix.
#include "tests/convert/ConversionRunFixture.h"

namespace {

// The engine error codes a run reported, each followed by ";".
std::string ReportedCodes(const RecordingHost& host) {
    std::string codes;
    for (const auto& m : host.messages) {
        const auto at = m.text.find("DAO Code:  ");
        if (at != std::string::npos) codes += m.text.substr(at + 11) + ";";
    }
    return codes;
}

class RowEdges : public PerStoreConversion {};
INSTANTIATE_TEST_SUITE_P(Stores, RowEdges, testing::ValuesIn(kStoreKinds), StoreCaseName);

// Only a row an earlier run's category pass left (already cut, its strCategoryID its braced
// part) and that no category of this run has written is found by the cut identifier. Every other
// row that shares the cut keeps what it holds, and the twin fails in the category pass as it
// would without the second look.
struct SharedCutCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> source;  // CategoryID, Description, in order
    std::vector<std::vector<const char*>> destination;  // CategoryID, Description, strCategoryID
    std::string codes;                                  // engine errors the run reports
    std::vector<std::string> categories;                // rows afterwards
};

void PrintTo(const SharedCutCase& c, std::ostream* out) { *out << c.name; }

const SharedCutCase kSharedCutCases[] = {
    {"AUsersOwnRow",
     {{"M{2}tail", "m tailed"}},
     {{"M{2}", "USER OWN row", "mine"}},
     "3022;",
     // The category pass still gives every row its braced part, as it always has.
     {"M{2}|USER OWN row|7|{2}", "M{2}tail|m tailed|0|<null>"}},
    {"TwoSourceCategoriesOnAFreshDestination",
     {{"K{1}", "plain one"}, {"K{1}x", "tailed one"}},
     {},
     "3022;",
     {"K{1}|plain one|0|{1}", "K{1}x|tailed one|0|<null>"}},
    {"TwoSourceCategoriesOverAnEarlierRunsRow",
     {{"K{1}", "plain one"}, {"K{1}x", "tailed one"}},
     {{"K{1}", "earlier", "{1}"}},
     "3022;",
     {"K{1}|plain one|7|{1}", "K{1}x|tailed one|0|<null>"}},
    {"AnEarlierRunsRow",
     {{"K{1}x", "tailed one"}},
     {{"K{1}", "earlier", "{1}"}},
     "",
     {"K{1}|tailed one|7|{1}"}},
};

class SharedCut : public ConversionRunBase,
                  public testing::WithParamInterface<std::tuple<StoreKind, SharedCutCase>> {
protected:
    StoreKind Kind() const override { return std::get<0>(GetParam()); }
};

TEST_P(SharedCut, TakesOverOnlyARowAnEarlierRunLeft) {
    const SharedCutCase& c = std::get<1>(GetParam());
    {
        TestDb db(m_source);
        for (const auto& [id, description] : c.source) AddSourceCategory(db, id, description);
    }
    {
        TestDb db(m_destination);
        for (const auto& row : c.destination) AddDestinationCategory(db, row[0], row[1], row[2]);
        db.Exec("UPDATE tblCategory SET ZOrder = 7");  // rows the run adds get 0
    }
    Run(m_source, m_destination);
    EXPECT_EQ(ReportedCodes(m_host), c.codes);
    EXPECT_EQ(Destination(kCategories), c.categories);
}

INSTANTIATE_TEST_SUITE_P(StoresAndCases, SharedCut,
                         testing::Combine(testing::ValuesIn(kStoreKinds),
                                          testing::ValuesIn(kSharedCutCases)),
                         [](const auto& info) {
                             return std::string(StoreKindName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param).name;
                         });

// A stored Null reads as empty, and assigning that same value is no change: the Null stays, in
// the copy passes and the rewriting passes alike. New rows still get "" and 0.
TEST_P(RowEdges, NullsInEditedRowsStayNull) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Copied");
        AddSourceItem(db, "I1", "", "{\\rtf1 One}", {"K{1}"});
        AddSourceItem(db, "I2", nullptr, "two", {"K{1}"});
        AddSourceItem(db, "I3", nullptr, "three", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        AddDestinationPhrase(db, "I1", "K{1}", "old");
        AddDestinationPhrase(db, "I2", "K{1}", "old");
        AddDestinationPhrase(db, "P7", nullptr, "kept9|");
        db.Exec("UPDATE tblPhrase SET Mnemonic = NULL, PunctuationTrailing = NULL");
    }
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(Destination("SELECT PhraseID, quote(CategoryID), quote(Mnemonic), Data, "
                          "quote(PunctuationTrailing) FROM tblPhrase ORDER BY PhraseID"),
              (std::vector<std::string>{"I1|'{1}'|NULL|One9||NULL", "I2|'{1}'|NULL|two9||NULL",
                                        "I3|'{1}'|''|three9||0", "P7|NULL|NULL|kept9||NULL"}));
}

// The suffix is left off only where an earlier run left it: plain text ending in "9|". Rich
// text flattened in this run always gets it, whatever it ends in.
TEST_P(RowEdges, OnlyPlainTextAlreadyEndingInTheSuffixKeepsItOnce) {
    {
        TestDb db(m_source);
        AddSourceCategory(db, "K{1}", "Copied");
        AddSourceItem(db, "I1", "s", "{\\rtf1 Take 9|}", {"K{1}"});
        AddSourceItem(db, "I2", "s", "{\\rtf1 Take 9}", {"K{1}"});
        AddSourceItem(db, "I3", "s", "{\\rtf1 \\par}", {"K{1}"});
        AddSourceItem(db, "I4", "s", "", {"K{1}"});
        AddSourceItem(db, "I5", "s", "plain 9|", {"K{1}"});
    }
    {
        TestDb db(m_destination);
        AddDestinationPhrase(db, "P1", "K{1}", "flattened before9|");
        AddDestinationPhrase(db, "P2", "K{1}", "{\\rtf1 left raw 9|}");
    }
    const std::vector<std::string> expected{
        "I1|Take 9|9|", "I2|Take 99|", "I3|9|", "I4|9|", "I5|plain 9|", "P1|flattened before9|",
        "P2|left raw 9|9|"};
    Run(m_source, m_destination);
    EXPECT_TRUE(m_host.messages.empty()) << m_host.Texts().front();
    EXPECT_EQ(Destination("SELECT PhraseID, Data FROM tblPhrase ORDER BY PhraseID"), expected);
    // A rerun copies the rich text again and leaves the same rows; P2 is plain now.
    Run(m_source, m_destination);
    EXPECT_EQ(Destination("SELECT PhraseID, Data FROM tblPhrase ORDER BY PhraseID"), expected);
}

}  // namespace
