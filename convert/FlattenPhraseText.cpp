#include "convert/Conversion.h"
#include "convert/RewriteEveryRow.h"

namespace {

bool EndsWithSuffix(const std::string& text) {
    const std::string_view suffix = kPhraseDataSuffix;
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

int FlattenPhraseText(CDstTblPhrase& phrases, CRichText& richText, UserMessages& messages,
                      RunProgress* progress) {
    std::string text;
    return RewriteEveryRow(phrases, messages, progress, ConversionPass::ConvertPhraseText,
                           [&](CDstTblPhrase& phrase) {
                               richText.SetTextRTF(phrase.m_Data.Value());
                               phrase.Edit();
                               text = richText.GetText();
                               // Rich text the control turned into other text; plain text comes
                               // back unchanged.
                               if (progress && text != phrase.m_Data.Value()) {
                                   ++progress->Summary().phraseTextsConverted;
                               }
                               // Text that already carries the suffix (a row flattened by an
                               // earlier run and not copied again) keeps it once.
                               if (!EndsWithSuffix(text)) text += kPhraseDataSuffix;
                               phrase.m_Data = text;
                               phrase.Update();
                           });
}
