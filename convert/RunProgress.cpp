#include "convert/RunProgress.h"

#include <cstdio>

#include "convert/ConversionHost.h"

const char* PassName(ConversionPass pass) {
    switch (pass) {
        case ConversionPass::CopyCategories:
            return "Copying categories";
        case ConversionPass::CopyPhrases:
            return "Copying phrases";
        case ConversionPass::ShortenCategoryIds:
            return "Shortening category identifiers";
        case ConversionPass::ShortenPhraseCategories:
            return "Shortening phrase categories";
        case ConversionPass::ConvertPhraseText:
            return "Converting phrase text";
    }
    return "";
}

void RunProgress::BeginPass(ConversionPass pass, long long rowsToDo) {
    m_progress = {pass, 0, rowsToDo};
    Report();
}

void RunProgress::RowDone() {
    ++m_progress.rowsDone;
    // A walk can meet more rows than it counted (a query's rows may change under it).
    if (m_progress.rowsDone > m_progress.rowsToDo) m_progress.rowsToDo = m_progress.rowsDone;
    Report();
}

void RunProgress::LastPassesBegin() {
    m_cancellable = false;
    m_host.LastPassesBegin();
}

void RunProgress::Report() {
    m_summary.lastProgress = m_progress;
    m_host.ReportProgress(m_progress);
    if (m_cancellable && m_host.CancelRequested()) throw ConversionCancelled();
}

namespace {

std::string Lower(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] + 32);
    return text;
}

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", std::chrono::duration<double>(elapsed).count());
    return text;
}

std::string Counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Count(const std::optional<long long>& rows) {
    return rows ? std::to_string(*rows) : std::string("not known");
}

}  // namespace

std::string SummaryDetails(const ConversionSummary& s) {
    std::string details;
    if (!s.completed && s.lastProgress) {
        const ConversionProgress& at = *s.lastProgress;
        details += "Stopped while " + Lower(PassName(at.pass)) + ", after " +
                   std::to_string(at.rowsDone) + " of " + std::to_string(at.rowsToDo) + " rows.\n";
    }
    details += "Categories added: " + std::to_string(s.categoriesAdded) + "\n";
    details += "Categories overwritten: " + std::to_string(s.categoriesOverwritten) + "\n";
    details += "Phrases added: " + std::to_string(s.phrasesAdded) + "\n";
    details += "Phrases overwritten: " + std::to_string(s.phrasesOverwritten) + "\n";
    details += "Category identifiers shortened: " + std::to_string(s.categoryIdsShortened) + "\n";
    details += "Phrase categories shortened: " + std::to_string(s.phraseCategoriesShortened) + "\n";
    details += "Phrase texts converted: " + std::to_string(s.phraseTextsConverted) + "\n";
    details += "Rows in tblCategory afterwards: " + Count(s.categoryRows) + "\n";
    details += "Rows in tblPhrase afterwards: " + Count(s.phraseRows) + "\n";
    details += "Time taken: " + Seconds(s.elapsed);
    return details;
}

std::string CancelledMessage(const ConversionSummary& s) {
    std::string text = "The conversion was cancelled";
    if (s.lastProgress) {
        text += " while " + Lower(PassName(s.lastProgress->pass)) + " (" +
                std::to_string(s.lastProgress->rowsDone) + " of " +
                std::to_string(s.lastProgress->rowsToDo) + " rows done)";
    }
    text += ".\r\r";
    const long long categories = s.categoriesAdded + s.categoriesOverwritten;
    const long long phrases = s.phrasesAdded + s.phrasesOverwritten;
    if (categories + phrases + s.categoryIdsShortened + s.phraseCategoriesShortened +
            s.phraseTextsConverted ==
        0) {
        return text + "Nothing had been written to the destination yet.";
    }
    text +=
        "Everything written before it was kept: " + Counted(categories, "category", "categories") +
        " and " + Counted(phrases, "phrase", "phrases") + " copied";
    if (s.categoryIdsShortened + s.phraseCategoriesShortened > 0) {
        text += ", " +
                Counted(s.categoryIdsShortened + s.phraseCategoriesShortened, "identifier",
                        "identifiers") +
                " shortened";
    }
    if (s.phraseTextsConverted > 0) {
        text +=
            ", " + Counted(s.phraseTextsConverted, "phrase text", "phrase texts") + " converted";
    }
    return text + ". Run the conversion again to do the rest.";
}
