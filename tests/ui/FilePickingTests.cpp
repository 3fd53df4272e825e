// Picking a database: which files each browse button's dialog offers under each of its filters,
// in a real file dialog over a real folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <set>

#include "platform/Profile.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CConvertDlg.h"

namespace {

constexpr const char* kSqliteFilter = "SQLite databases (*.db *.sqlite *.sqlite3)";
constexpr const char* kAllFilter = "All files (*)";

// A folder as a user's may be: the default source, other Jet files, many SQLite databases
// named in every common way, and a file of another kind.
class FilePickingTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (int i = 1; i <= 18; ++i) Touch("glossary-" + std::to_string(i) + ".db");
        for (const char* name : {"am_pub.mdb", "Scrivane.mdb", "old.sqlite", "new.sqlite3",
                                 "notes.txt", "am_pub.mdb.bak"}) {
            Touch(name);
        }
    }
    void Touch(const std::string& name) { WriteFileBytes(m_data.File(name), ""); }

    // The files a non-native dialog lists in the folder under the filter at that index.
    std::set<std::string> Listed(const OpenFileRequest& request, int filter) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(dialog, request);
        auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
        auto* model = dialog.findChild<QFileSystemModel*>();
        if (list == nullptr || model == nullptr) return {"<no list>"};
        // The folder is read in the background: its rows are all there once it says so.
        const QString folder = QString::fromStdString(m_data.Path().string());
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog.setDirectory(folder);
        dialog.selectNameFilter(dialog.nameFilters().at(filter));
        const bool read = QTest::qWaitFor(
            [&] {
                // The model names the folder its own way (separators, drive letter's case).
                for (const QList<QVariant>& signal : loaded) {
                    if (QDir(signal.at(0).toString()).canonicalPath() ==
                        QDir(folder).canonicalPath()) {
                        return true;
                    }
                }
                return false;
            },
            10000);
        if (!read) return {"<folder not read>"};
        QCoreApplication::processEvents();
        const QModelIndex root = list->rootIndex();
        std::set<std::string> names;
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            names.insert(list->model()->index(row, 0, root).data().toString().toStdString());
        }
        return names;
    }

    Profile profile{"Veltrane", "Tallowmere"};
    FakeMessages messages;
    FakeFileDialog files;
};

std::set<std::string> SqliteFiles() {
    std::set<std::string> names = {"old.sqlite", "new.sqlite3"};
    for (int i = 1; i <= 18; ++i) names.insert("glossary-" + std::to_string(i) + ".db");
    return names;
}

struct PickCase {
    const char* name;
    int button;
    const char* firstFilter;
    std::set<std::string> firstFiles;
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.name; }

class FilePickingCase : public FilePickingTest, public ::testing::WithParamInterface<PickCase> {};

// Each browse offers first the files its path names by default, then every SQLite database,
// then every file.
TEST_P(FilePickingCase, OffersTheDefaultKindThenSqliteDatabasesThenEveryFile) {
    const PickCase& c = GetParam();
    CConvertDlg dlg(profile, {&messages, &files, nullptr});
    ASSERT_TRUE(dlg.Initialize());
    qobject_cast<QPushButton*>(dlg.GetDlgItem(c.button))->click();
    ASSERT_EQ(files.requests.size(), 1u);
    const OpenFileRequest request = files.requests[0];
    EXPECT_EQ(NameFiltersFromFilterString(request.filter),
              (QStringList{QString::fromLatin1(c.firstFilter), QString::fromLatin1(kSqliteFilter),
                           QString::fromLatin1(kAllFilter)}));
    EXPECT_EQ(Listed(request, 0), c.firstFiles);
    EXPECT_EQ(Listed(request, 1), SqliteFiles());
    std::set<std::string> every = SqliteFiles();
    every.insert({"am_pub.mdb", "Scrivane.mdb", "notes.txt", "am_pub.mdb.bak"});
    EXPECT_EQ(Listed(request, 2), every);
    dlg.OnCancel();
}

INSTANTIATE_TEST_SUITE_P(BothPaths, FilePickingCase,
                         ::testing::Values(PickCase{"Source",
                                                    IDC_BROWSE_SOURCE,
                                                    "Ambrell Databases (am_pub.mdb)",
                                                    {"am_pub.mdb"}},
                                           PickCase{"Destination",
                                                    IDC_BROWSE_DESTINATION,
                                                    "Scrivane Databases (*.mdb)",
                                                    {"am_pub.mdb", "Scrivane.mdb"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
