#include "convert/Conversion.h"
#include "convert/ConversionRecordsets.h"

namespace {

// Rows of the destination tables as the run leaves them; unknown where the engine cannot say
// (after some errors it cannot).
void CountDestinationRows(ConversionRecordsets& recordsets, ConversionSummary& summary) {
    try {
        if (recordsets.dstCategories.IsOpen()) {
            summary.categoryRows = recordsets.dstCategories.GetRecordCount();
        }
        if (recordsets.dstPhrases.IsOpen()) {
            summary.phraseRows = recordsets.dstPhrases.GetRecordCount();
        }
    } catch (...) {
    }
}

}  // namespace

void RunConversion(const std::string& source, const std::string& destination, ConversionHost& host,
                   ConversionSummary* summary) {
    ConversionSummary ownSummary;
    ConversionSummary& kept = summary != nullptr ? *summary : ownSummary;
    RunProgress progress(host, kept);
    ConversionRecordsets recordsets;
    try {
        recordsets.Open(source, destination);
        ConvertGlossary(recordsets.srcCategories, recordsets.srcPhraseItems,
                        recordsets.dstCategories, recordsets.dstPhrases, host, &progress);
    } catch (const ConversionCancelled&) {
        CountDestinationRows(recordsets, kept);
        // What was written stays: commit it now, so a failing commit is what gets reported.
        recordsets.Close();
        throw;
    } catch (...) {
        CountDestinationRows(recordsets, kept);
        throw;
    }
    CountDestinationRows(recordsets, kept);
    recordsets.Close();
}

int ConvertGlossary(CSrcTblPhraseCategory& srcCategories, CSrcQryPhraseItem& srcPhraseItems,
                    CDstTblCategory& dstCategories, CDstTblPhrase& dstPhrases, ConversionHost& host,
                    RunProgress* progress) {
    host.EnableStartButton(false);
    CopyCategories(srcCategories, dstCategories, progress);
    CopyPhrases(srcPhraseItems, dstPhrases, progress);
    // Once the copies are done the rewriting passes always all run: a stop inside them would
    // leave copied phrases raw rich text and identifiers uncut until another run.
    if (progress) progress->LastPassesBegin();
    // Each of these reports its own engine error and the next runs regardless.
    NormalizeCategoryIds(dstCategories, host, progress);
    NormalizePhraseCategoryIds(dstPhrases, host, progress);
    FlattenPhraseText(dstPhrases, host.RichTextControl(), host, progress);
    host.EnableStartButton(true);
    return 1;
}
