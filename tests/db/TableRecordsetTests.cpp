// The recordset operations the passes rely on, against real store files: seek, add, edit, update,
// the walk, and the errors they raise.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "db/DaoException.h"
#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "records/CSrcTblPhraseCategory.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

namespace {

int32_t ErrorCodeOf(const std::function<void()>& action, std::string* description = nullptr) {
    try {
        action();
    } catch (const CDaoException& e) {
        if (description != nullptr) *description = e.m_pErrorInfo->m_strDescription;
        return e.m_pErrorInfo->m_lErrorCode;
    }
    return 0;
}

bool SeekKey(CDaoRecordset& rs, const std::string& key) {
    const COleVariant variant(key, VT_BSTRT);
    return rs.Seek("=", &variant);
}

class DestinationTable : public testing::Test {
protected:
    void SetUp() override {
        UseTestEngineSettings();
        CreateDestinationDb(m_path);
    }

    void OpenCategories() {
        m_categories.SetDBPath(m_path);
        m_categories.Open();
        m_categories.SetCurrentIndex("PrimaryKey");
    }
    void OpenPhrases() {
        m_phrases.SetDBPath(m_path);
        m_phrases.Open();
        m_phrases.SetCurrentIndex("PrimaryKey");
    }
    // What the file holds once the engine has let go of it.
    std::vector<std::string> Stored(const std::string& sql) {
        m_categories.Close();
        m_phrases.Close();
        return TestDb(m_path).Rows(sql);
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("destination.db");
    CDstTblCategory m_categories;
    CDstTblPhrase m_phrases;
};

TEST_F(DestinationTable, SeekFindsTheRowAndMakesItCurrent) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "A{1}", "First", "{1}");
        AddDestinationCategory(db, "K{12-AB}", "Keys", "{12-AB}");
        AddDestinationCategory(db, "Z{9}", "Last", "{9}");
    }
    OpenCategories();
    ASSERT_TRUE(SeekKey(m_categories, "K{12-AB}"));
    EXPECT_EQ(m_categories.m_CategoryID.Value(), "K{12-AB}");
    EXPECT_EQ(m_categories.m_Description.Value(), "Keys");
    EXPECT_EQ(m_categories.m_strCategoryID.Value(), "{12-AB}");
    // Keys compare as the index does: without regard to case.
    ASSERT_TRUE(SeekKey(m_categories, "k{12-ab}"));
    EXPECT_EQ(m_categories.m_CategoryID.Value(), "K{12-AB}");
    EXPECT_FALSE(SeekKey(m_categories, "K{12-AB}x"));
    EXPECT_FALSE(SeekKey(m_categories, "K{12"));
    EXPECT_FALSE(SeekKey(m_categories, ""));
    // After a miss there is no current record to edit.
    EXPECT_EQ(ErrorCodeOf([&] { m_categories.Edit(); }), DaoError::NoCurrentRecord);
}

TEST_F(DestinationTable, EditAfterSeekOverwritesThatRowAndAddNewMakesAnother) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "A{1}", "First");
        AddDestinationCategory(db, "B{2}", "Second");
    }
    OpenCategories();
    ASSERT_TRUE(SeekKey(m_categories, "b{2}"));
    m_categories.Edit();
    m_categories.m_CategoryID = std::string("b{2}");
    m_categories.m_Description = std::string("Changed");
    m_categories.Update();

    ASSERT_FALSE(SeekKey(m_categories, "C{3}"));
    m_categories.AddNew();
    m_categories.m_CategoryID = std::string("C{3}");
    m_categories.m_Description = std::string("Third");
    m_categories.Update();

    EXPECT_EQ(Stored("SELECT CategoryID, Description FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"A{1}|First", "b{2}|Changed", "C{3}|Third"}));
}

TEST_F(DestinationTable, EditWritesOnlyTheColumnsItChanged) {
    {
        TestDb db(m_path);
        AddDestinationPhrase(db, "P1", "K{1}", "old data");
    }
    OpenPhrases();
    ASSERT_TRUE(SeekKey(m_phrases, "P1"));
    // Another program changes a column the recordset has already read.
    TestDb(m_path).Exec("UPDATE tblPhrase SET Data = 'theirs', ZOrder = 4");
    m_phrases.Edit();
    m_phrases.m_Mnemonic = std::string("mine");
    m_phrases.m_CategoryID = std::string("K{1}");  // unchanged: not written either
    m_phrases.Update();
    EXPECT_EQ(Stored("SELECT PhraseID, CategoryID, Mnemonic, Data, ZOrder FROM tblPhrase"),
              (std::vector<std::string>{"P1|K{1}|mine|theirs|4"}));
}

// On a new row exactly the assigned columns are written, zero and "" included; every other
// column takes the store's default, whatever the members held before AddNew.
struct NewRowCase {
    const char* name;
    std::function<void(CDstTblPhrase&)> assign;
    const char* stored;  // PhraseID|CategoryID|Mnemonic|Data|ZOrder|Leading|Trailing
};

class NewPhraseRow : public DestinationTable, public testing::WithParamInterface<NewRowCase> {};

TEST_P(NewPhraseRow, StoresTheAssignedColumnsAndTheDefaultsOfTheRest) {
    {
        TestDb db(m_path);
        db.Exec("DROP TABLE tblPhrase");
        db.Exec(
            "CREATE TABLE tblPhrase (PhraseID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, "
            "CategoryID TEXT DEFAULT '{none}', Mnemonic TEXT, Data TEXT, ZOrder INTEGER DEFAULT 7, "
            "PunctuationLeading INTEGER DEFAULT 1, PunctuationTrailing INTEGER DEFAULT 1)");
        db.Exec(
            "INSERT INTO tblPhrase VALUES ('Old', 'K{old}', 'old mnemonic', 'old data', 3, 4, 5)");
    }
    OpenPhrases();
    // The current row's values are in the members when the new row starts.
    ASSERT_TRUE(SeekKey(m_phrases, "Old"));
    m_phrases.AddNew();
    m_phrases.m_PhraseID = std::string("New");
    GetParam().assign(m_phrases);
    m_phrases.Update();
    EXPECT_EQ(Stored("SELECT * FROM tblPhrase WHERE PhraseID = 'New'"),
              std::vector<std::string>{GetParam().stored});
}

INSTANTIATE_TEST_SUITE_P(
    Columns, NewPhraseRow,
    testing::Values(NewRowCase{"KeyOnly", [](CDstTblPhrase&) {}, "New|{none}|<null>|<null>|7|1|1"},
                    NewRowCase{"PunctuationAsTheRunSetsIt",
                               [](CDstTblPhrase& p) {
                                   p.m_PunctuationLeading = 2;
                                   p.m_PunctuationTrailing = 0;
                               },
                               "New|{none}|<null>|<null>|7|2|0"},
                    NewRowCase{"ZeroAndEmptyAreWritten",
                               [](CDstTblPhrase& p) {
                                   p.m_ZOrder = 0;
                                   p.m_CategoryID = std::string();
                                   p.m_Mnemonic = std::string();
                                   p.m_PunctuationLeading = 0;
                               },
                               "New|||<null>|0|0|1"},
                    NewRowCase{"EveryColumnOfTheRun",
                               [](CDstTblPhrase& p) {
                                   p.m_CategoryID = std::string("K{1}");
                                   p.m_Mnemonic = std::string("hi");
                                   p.m_Data = std::string("9|");
                                   p.m_PunctuationLeading = 2;
                                   p.m_PunctuationTrailing = 0;
                               },
                               "New|K{1}|hi|9||7|2|0"}),
    [](const testing::TestParamInfo<NewRowCase>& info) { return std::string(info.param.name); });

TEST_F(DestinationTable, NullTextReadsAsEmpty) {
    TestDb(m_path).Exec(
        "INSERT INTO tblCategory (CategoryID, Description, ZOrder, strCategoryID) "
        "VALUES ('K{1}', NULL, NULL, NULL)");
    OpenCategories();
    ASSERT_FALSE(m_categories.IsEOF());
    EXPECT_EQ(m_categories.m_CategoryID.Value(), "K{1}");
    EXPECT_EQ(m_categories.m_Description.Value(), "");
    EXPECT_EQ(m_categories.m_strCategoryID.Value(), "");
    EXPECT_EQ(m_categories.m_ZOrder.Value(), 0);
}

TEST_F(DestinationTable, AnEmptyTableIsAtBothEnds) {
    OpenCategories();
    EXPECT_TRUE(m_categories.IsBOF());
    EXPECT_TRUE(m_categories.IsEOF());
}

TEST_F(DestinationTable, WalkFollowsTheIndexOrder) {
    {
        TestDb db(m_path);
        for (const char* key : {"c", "A", "b", "D"}) AddDestinationCategory(db, key, "x");
    }
    OpenCategories();
    std::vector<std::string> visited;
    if (!m_categories.IsBOF()) m_categories.MoveFirst();
    while (!m_categories.IsEOF()) {
        visited.push_back(m_categories.m_CategoryID.Value());
        m_categories.MoveNext();
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"A", "b", "c", "D"}));
}

// A walk that rewrites keys moves rows within the index; it must still visit every row that was
// there when it started exactly once.
class WalkChangingKeys : public DestinationTable,
                         public testing::WithParamInterface<const char*> {};

TEST_P(WalkChangingKeys, VisitsEveryRowOnce) {
    const std::string prefix = GetParam();
    const std::vector<std::string> keys = {"b{2}", "d{4}", "a{1}", "c{3}", "e{5}"};
    {
        TestDb db(m_path);
        for (const std::string& key : keys) AddDestinationCategory(db, key.c_str(), "x");
    }
    OpenCategories();
    std::map<std::string, int> visits;
    if (!m_categories.IsBOF()) m_categories.MoveFirst();
    while (!m_categories.IsEOF()) {
        ++visits[m_categories.m_CategoryID.Value()];
        m_categories.Edit();
        m_categories.m_CategoryID = prefix + m_categories.m_CategoryID.Value();
        m_categories.Update();
        m_categories.MoveNext();
        ASSERT_LE(visits.size(), keys.size() * 2) << "the walk does not end";
    }
    std::map<std::string, int> once;
    for (const std::string& key : keys) once[key] = 1;
    EXPECT_EQ(visits, once);

    std::vector<std::string> expected;
    for (const std::string& key : keys) expected.push_back(prefix + key);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Stored("SELECT CategoryID FROM tblCategory ORDER BY CategoryID"), expected);
}

INSTANTIATE_TEST_SUITE_P(Prefixes, WalkChangingKeys, testing::Values("0", "z", "c{3}-", "B"));

// Writes that would give two rows one key fail with 3022 naming the key and the table.
struct DuplicateCase {
    const char* name;
    std::function<void(CDstTblCategory&)> write;
    const char* key;
};

class DuplicateKey : public DestinationTable, public testing::WithParamInterface<DuplicateCase> {};

TEST_P(DuplicateKey, Raises3022AndKeepsTheRows) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "K{1}", "One");
        AddDestinationCategory(db, "K{2}", "Two");
    }
    OpenCategories();
    std::string description;
    EXPECT_EQ(ErrorCodeOf([&] { GetParam().write(m_categories); }, &description),
              DaoError::DuplicateKey);
    EXPECT_NE(description.find(GetParam().key), std::string::npos) << description;
    EXPECT_NE(description.find("tblCategory"), std::string::npos) << description;
    EXPECT_NE(description.find(m_path), std::string::npos) << description;
    EXPECT_EQ(Stored("SELECT CategoryID, Description FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"K{1}|One", "K{2}|Two"}));
}

INSTANTIATE_TEST_SUITE_P(Writes, DuplicateKey,
                         testing::Values(DuplicateCase{"AddNewWithAnExistingKey",
                                                       [](CDstTblCategory& c) {
                                                           c.AddNew();
                                                           c.m_CategoryID = std::string("k{1}");
                                                           c.m_Description = std::string("New");
                                                           c.Update();
                                                       },
                                                       "k{1}"},
                                         DuplicateCase{"EditToAnotherRowsKey",
                                                       [](CDstTblCategory& c) {
                                                           ASSERT_TRUE(SeekKey(c, "K{2}"));
                                                           c.Edit();
                                                           c.m_CategoryID = std::string("K{1}");
                                                           c.Update();
                                                       },
                                                       "K{1}"}),
                         [](const testing::TestParamInfo<DuplicateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DestinationTable, AFailedUpdateLeavesTheRecordsetUsable) {
    {
        TestDb db(m_path);
        AddDestinationCategory(db, "K{1}", "One");
    }
    OpenCategories();
    m_categories.AddNew();
    m_categories.m_CategoryID = std::string("K{1}");
    EXPECT_EQ(ErrorCodeOf([&] { m_categories.Update(); }), DaoError::DuplicateKey);
    m_categories.AddNew();
    m_categories.m_CategoryID = std::string("K{2}");
    m_categories.Update();
    EXPECT_EQ(Stored("SELECT CategoryID FROM tblCategory ORDER BY CategoryID"),
              (std::vector<std::string>{"K{1}", "K{2}"}));
}

// Moves and edits without a current record fail with 3021.
struct NoCurrentCase {
    const char* name;
    bool withRows;
    std::function<void(CDstTblCategory&)> action;
};

class NoCurrentRecord : public DestinationTable,
                        public testing::WithParamInterface<NoCurrentCase> {};

TEST_P(NoCurrentRecord, Raises3021) {
    if (GetParam().withRows) {
        TestDb db(m_path);
        AddDestinationCategory(db, "K{1}", "One");
    }
    OpenCategories();
    std::string description;
    EXPECT_EQ(ErrorCodeOf([&] { GetParam().action(m_categories); }, &description),
              DaoError::NoCurrentRecord);
    EXPECT_NE(description.find("tblCategory"), std::string::npos) << description;
}

INSTANTIATE_TEST_SUITE_P(Actions, NoCurrentRecord,
                         testing::Values(NoCurrentCase{"EditOnAnEmptyTable", false,
                                                       [](CDstTblCategory& c) { c.Edit(); }},
                                         NoCurrentCase{"EditAfterASeekMiss", true,
                                                       [](CDstTblCategory& c) {
                                                           ASSERT_FALSE(SeekKey(c, "K{9}"));
                                                           c.Edit();
                                                       }},
                                         NoCurrentCase{"EditAfterTheLastRow", true,
                                                       [](CDstTblCategory& c) {
                                                           c.MoveNext();
                                                           ASSERT_TRUE(c.IsEOF());
                                                           c.Edit();
                                                       }},
                                         NoCurrentCase{"MoveNextAfterTheLastRow", true,
                                                       [](CDstTblCategory& c) {
                                                           c.MoveNext();
                                                           c.MoveNext();
                                                       }}),
                         [](const testing::TestParamInfo<NoCurrentCase>& info) {
                             return std::string(info.param.name);
                         });

// The source is read through dynasets, which never write.
struct DynasetWrite {
    const char* name;
    std::function<void(const std::string& path)> attempt;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DynasetWrite& c, std::ostream* out) { *out << c.name; }

class DynasetIsReadOnly : public testing::TestWithParam<DynasetWrite> {
protected:
    void SetUp() override { UseTestEngineSettings(); }
};

TEST_P(DynasetIsReadOnly, EditAndAddNewRaise3027) {
    TempDir dir;
    const std::string path = dir.File("source.db");
    CreateSourceDb(path);
    {
        TestDb db(path);
        AddSourceCategory(db, "K{1}", "One");
        AddSourceItem(db, "I1", "short", "full", {"K{1}"});
    }
    const std::string before = ReadFileBytes(path);
    std::string description;
    EXPECT_EQ(ErrorCodeOf([&] { GetParam().attempt(path); }, &description), DaoError::ReadOnly);
    EXPECT_NE(description.find(path), std::string::npos) << description;
    EXPECT_EQ(ReadFileBytes(path), before);
}

template <class Recordset>
std::function<void(const std::string&)> Attempt(bool edit) {
    return [edit](const std::string& path) {
        Recordset rs;
        rs.SetDBPath(path);
        rs.Open();
        if (edit) {
            rs.Edit();
        } else {
            rs.AddNew();
        }
        rs.Update();
    };
}

INSTANTIATE_TEST_SUITE_P(
    Writes, DynasetIsReadOnly,
    testing::Values(DynasetWrite{"EditCategory", Attempt<CSrcTblPhraseCategory>(true)},
                    DynasetWrite{"AddNewCategory", Attempt<CSrcTblPhraseCategory>(false)},
                    DynasetWrite{"EditPhraseItem", Attempt<CSrcQryPhraseItem>(true)},
                    DynasetWrite{"AddNewPhraseItem", Attempt<CSrcQryPhraseItem>(false)}),
    [](const testing::TestParamInfo<DynasetWrite>& info) { return std::string(info.param.name); });

TEST(SourceDynasets, ReadEveryRowWithNullTextAsEmpty) {
    UseTestEngineSettings();
    TempDir dir;
    const std::string path = dir.File("source.db");
    CreateSourceDb(path);
    {
        TestDb db(path);
        AddSourceCategory(db, "K{1}", nullptr);
        AddSourceCategory(db, nullptr, "No id");
        // An item related to three categories comes three times; one without relations never.
        AddSourceItem(db, "I1", nullptr, "full", {"K{1}", "K{2}", "K{3}"});
        AddSourceItem(db, "I2", "lonely", "full", {});
    }
    CSrcTblPhraseCategory categories;
    categories.SetDBPath(path);
    categories.Open();
    std::vector<std::string> seen;
    if (!categories.IsBOF()) categories.MoveFirst();
    while (!categories.IsEOF()) {
        seen.push_back(categories.m_CategoryID.Value() + "|" + categories.m_Description.Value());
        categories.MoveNext();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"K{1}|", "|No id"}));

    CSrcQryPhraseItem items;
    items.SetDBPath(path);
    items.Open();
    std::multiset<std::string> rows;
    if (!items.IsBOF()) items.MoveFirst();
    while (!items.IsEOF()) {
        rows.insert(items.m_ItemID.Value() + "|" + items.m_ShortDescription.Value() + "|" +
                    items.m_FullDescription.Value() + "|" + items.m_CategoryID.Value());
        items.MoveNext();
    }
    EXPECT_EQ(rows,
              (std::multiset<std::string>{"I1||full|K{1}", "I1||full|K{2}", "I1||full|K{3}"}));
}

}  // namespace
