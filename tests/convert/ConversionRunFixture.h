#pragma once

// What the whole-run suites share: fresh source and destination files, reached through the store
// each case is run with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "db/DaoException.h"
#include "tests/support/FakeHosts.h"
#include "tests/support/FakeMessages.h"
#include "tests/support/StoreKinds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabases.h"

inline constexpr const char* kCategories =
    "SELECT CategoryID, Description, ZOrder, strCategoryID FROM tblCategory ORDER BY CategoryID";
inline constexpr const char* kPhrases =
    "SELECT PhraseID, CategoryID, Mnemonic, Data, ZOrder, PunctuationLeading, "
    "PunctuationTrailing FROM tblPhrase ORDER BY PhraseID";

inline int32_t CodeOf(const CDaoException& e) { return e.m_pErrorInfo->m_lErrorCode; }

class ConversionRunBase : public testing::Test {
protected:
    virtual StoreKind Kind() const = 0;

    void SetUp() override {
        UseTestEngineSettings();
        CreateSourceDb(m_source);
        CreateDestinationDb(m_destination);
    }
    void Run(const std::string& source, const std::string& destination) {
        RunConversion(DatabaseName(Kind(), source), DatabaseName(Kind(), destination), m_host);
    }
    std::vector<std::string> Destination(const char* sql) {
        return TestDb(m_destination).Rows(sql);
    }
    std::vector<std::string> AppMessagesWith(const std::string& part) const {
        std::vector<std::string> found;
        for (const auto& m : m_host.messages) {
            if (m.kind == RecordingHost::Kind::App && m.text.find(part) != std::string::npos) {
                found.push_back(m.text);
            }
        }
        return found;
    }

    TempDir m_dir;
    std::string m_source = m_dir.File("am_pub.db");
    std::string m_destination = m_dir.File("phrases.db");
    RecordingHost m_host;
};

// A suite whose cases run once per store.
class PerStoreConversion : public ConversionRunBase, public testing::WithParamInterface<StoreKind> {
protected:
    StoreKind Kind() const override { return GetParam(); }
};

inline std::string StoreCaseName(const testing::TestParamInfo<StoreKind>& info) {
    return StoreKindName(info.param);
}
