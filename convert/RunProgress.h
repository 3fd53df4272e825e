#pragma once

#include <chrono>
#include <exception>
#include <optional>
#include <string>

class ConversionHost;

// The five passes of a run, in the order they run.
enum class ConversionPass {
    CopyCategories,
    CopyPhrases,
    ShortenCategoryIds,
    ShortenPhraseCategories,
    ConvertPhraseText,
};

// What the user sees while a pass runs: "Copying categories", "Copying phrases", ...
const char* PassName(ConversionPass pass);

// Where a run is: the pass, and the rows of it done so far out of those it has to do.
struct ConversionProgress {
    ConversionPass pass;
    long long rowsDone;
    long long rowsToDo;

    bool operator==(const ConversionProgress&) const = default;
};

// What a run changed, as far as it got.
struct ConversionSummary {
    long long categoriesAdded = 0;
    long long categoriesOverwritten = 0;
    long long phrasesAdded = 0;
    long long phrasesOverwritten = 0;
    long long categoryIdsShortened = 0;
    long long phraseCategoriesShortened = 0;
    long long phraseTextsConverted = 0;
    // Rows of the destination tables when the run ended; unknown where they could not be counted.
    std::optional<long long> categoryRows;
    std::optional<long long> phraseRows;
    // Where the run was when it last reported; nothing before the first pass began.
    std::optional<ConversionProgress> lastProgress;
    bool completed = false;
    std::chrono::steady_clock::duration elapsed{};
};

// The details a message box shows beneath its text, one line each.
std::string SummaryDetails(const ConversionSummary& summary);
// What the user is told after a cancelled run: where it stopped and what stays.
std::string CancelledMessage(const ConversionSummary& summary);

// Thrown between rows when the user has asked the run to stop; it ends the run like an engine
// error of the run, with every row written so far kept.
class ConversionCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The conversion was cancelled."; }
};

// Tells the host where a run is, asks it whether to stop, and keeps the run's summary.
class RunProgress {
public:
    RunProgress(ConversionHost& host, ConversionSummary& summary)
        : m_host(host), m_summary(summary) {}

    // A pass begins with this many rows to do; the user may already have asked to stop.
    void BeginPass(ConversionPass pass, long long rowsToDo);
    // One more row of the current pass is done; throws ConversionCancelled when asked to stop,
    // until the last passes begin.
    void RowDone();
    // From here on the run cannot be stopped; the host is told so.
    void LastPassesBegin();

    ConversionSummary& Summary() { return m_summary; }

private:
    void Report();

    ConversionHost& m_host;
    ConversionSummary& m_summary;
    ConversionProgress m_progress{ConversionPass::CopyCategories, 0, 0};
    bool m_cancellable = true;
};
