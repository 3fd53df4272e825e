// How long the window leaves the user-interface thread's events waiting while a conversion runs,
// and what handling them costs the run. A second thread posts, every millisecond, what a screen
// reader's query becomes on that thread: an event whose handler asks the Start button's
// accessible interface for its name. Each query is timed from posting to answer. The progress
// box shows from the start, so its repainting is part of the cost. The first argument is how
// often the run lets events be handled, in milliseconds: 0 is the program's own setting, 100000
// never (the run's time without the event loop's share); the second whether queries are posted
// (without them the time is the run's own and the event loop's share of it). Counters: answer time
// during the passes (mean, median, 99th percentile, worst), the queries answered then, and the time
// from Start to the first pass, when the run opens its tables and no event is handled.
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "bench/conversion/SyntheticGlossary.h"
#include "platform/Profile.h"
#include "ui/CConvertDlg.h"
#include "ui/OpenFileDialog.h"
#include "ui/RunProgressDialog.h"

namespace {

using Clock = std::chrono::steady_clock;

// The workgroup lookup, answered with a folder that holds a workgroup file.
class FolderRegistry : public CurrentUserRegistry {
public:
    explicit FolderRegistry(std::string folder) : m_folder(std::move(folder)) {}
    bool OpenKey(const std::string&) override { return true; }
    bool QueryValue(const std::string&, char* buffer, std::size_t size) override {
        if (m_folder.size() + 1 > size) return false;
        std::memcpy(buffer, m_folder.c_str(), m_folder.size() + 1);
        return true;
    }
    bool CloseKey() override { return true; }

private:
    std::string m_folder;
};

class SilentMessages : public UserMessages {
public:
    int ShowOwnedMessage(const std::string& text, const std::string&, unsigned) override {
        last = text;
        return IDOK;
    }
    int ShowAppMessage(const std::string& text, unsigned) override {
        last = text;
        return IDOK;
    }
    std::string last;
};

class NoFileDialog : public OpenFileDialog {
public:
    std::optional<std::string> Run(const OpenFileRequest&) override { return std::nullopt; }
};

// A query posted from another thread, answered on the user-interface thread.
class QueryEvent : public QEvent {
public:
    static inline const auto kType = static_cast<QEvent::Type>(QEvent::registerEventType());
    QueryEvent() : QEvent(kType), posted(Clock::now()) {}
    Clock::time_point posted;
};

// The window, noting when the run's first pass begins and when its last row is done.
class TimedDlg : public CConvertDlg {
public:
    using CConvertDlg::CConvertDlg;
    void ReportProgress(const ConversionProgress& progress) override {
        const auto now = Clock::now();
        if (!firstPass) firstPass = now;
        lastRow = now;
        CConvertDlg::ReportProgress(progress);
    }
    std::optional<Clock::time_point> firstPass;
    Clock::time_point lastRow;
};

class QueryAnswerer : public QObject {
public:
    QueryAnswerer(QWidget* asked, TimedDlg& run) : m_asked(asked), m_run(run) {}
    std::vector<double> answerMs;  // of the queries posted and answered while passes ran

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != QueryEvent::kType) return;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_asked);
        benchmark::DoNotOptimize(accessible != nullptr ? accessible->text(QAccessible::Name)
                                                       : QString());
        const auto posted = static_cast<QueryEvent*>(event)->posted;
        if (!m_run.firstPass || posted < *m_run.firstPass || !m_run.KeepAlive().Active()) return;
        const auto waited = Clock::now() - posted;
        answerMs.push_back(std::chrono::duration<double, std::milli>(waited).count());
    }

private:
    QWidget* m_asked;
    TimedDlg& m_run;
};

struct Setting {
    std::filesystem::path folder;
    SyntheticGlossary glossary;
};

const Setting& Glossary() {
    static const Setting setting = [] {
        Setting s;
        s.folder = std::filesystem::temp_directory_path() / "tallowmere-bench-responsiveness";
        std::filesystem::remove_all(s.folder);
        std::filesystem::create_directories(s.folder / "config");
        std::ofstream(s.folder / "VELTRANE.MDW").flush();
        s.glossary = MakeSyntheticGlossary(s.folder.string(), 20000);
        return s;
    }();
    return setting;
}

void RunWithQueries(benchmark::State& state) {
    const Setting& setting = Glossary();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((setting.folder / "config").string()));
    Profile profile("Veltrane", "Tallowmere");
    profile.WriteProfileString("Paths", "Source", setting.glossary.source);
    profile.WriteProfileString("Paths", "Destination", setting.glossary.destination);
    FolderRegistry registry(setting.folder.string());
    SilentMessages messages;
    NoFileDialog files;
    TimedDlg dlg(profile, {&messages, &files, &registry});
    if (!dlg.Initialize()) {
        state.SkipWithError("the window could not be made");
        return;
    }
    dlg.show();
    // The box shows from the first look at the events; the program's own interval unless given.
    const auto every = state.range(0) > 0 ? std::chrono::milliseconds(state.range(0))
                                          : dlg.KeepAlive().ProcessEvery();
    dlg.KeepAlive().SetTimings(std::chrono::milliseconds(0), every);
    auto* start = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_START));
    QueryAnswerer answerer(start, dlg);
    double openingMs = 0;

    for (auto _ : state) {
        std::atomic<bool> running = state.range(1) != 0;
        std::thread asker([&] {
            while (running) {
                QCoreApplication::postEvent(&answerer, new QueryEvent);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        dlg.firstPass.reset();
        const auto clicked = Clock::now();
        start->click();
        running = false;
        if (dlg.firstPass) {
            openingMs +=
                std::chrono::duration<double, std::milli>(*dlg.firstPass - clicked).count();
        }
        asker.join();
        QCoreApplication::processEvents();
        if (messages.last != "Conversion complete!") state.SkipWithError(messages.last.c_str());
    }
    std::vector<double>& ms = answerer.answerMs;
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    state.counters["answer_mean_ms"] = ms.empty() ? 0 : sum / static_cast<double>(ms.size());
    state.counters["answer_p50_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
    state.counters["answer_p99_ms"] =
        ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["answer_worst_ms"] = ms.empty() ? 0 : ms.back();
    state.counters["answered"] = static_cast<double>(ms.size());
    state.counters["opening_ms"] = openingMs / static_cast<double>(state.iterations());
    dlg.OnCancel();
}

BENCHMARK(RunWithQueries)
    ->ArgNames({"every_ms", "asking"})
    ->ArgsProduct({{0, 50, 10, 5, 2, 100000}, {1, 0}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // The real window, drawn nowhere.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tallowmere"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Glossary().folder);
    return 0;
}
