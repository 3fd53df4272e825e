#include "convert/Conversion.h"
#include "convert/RewriteEveryRow.h"

namespace {

// What an earlier run left: plain text (the control reads only "{\rtf" as rich text) that already
// ends in the suffix. Rich text copied in this run always gets the suffix, whatever it ends in.
bool AlreadyFlattened(const std::string& data) {
    const std::string_view text = data;
    return !text.starts_with("{\\rtf") && text.ends_with(kPhraseDataSuffix);
}

}  // namespace

int FlattenPhraseText(CDstTblPhrase& phrases, CRichText& richText, UserMessages& messages,
                      RunProgress* progress) {
    std::string text;
    return RewriteEveryRow(phrases, messages, progress, ConversionPass::ConvertPhraseText,
                           [&](CDstTblPhrase& phrase) {
                               const bool flattened = AlreadyFlattened(phrase.m_Data.Value());
                               richText.SetTextRTF(phrase.m_Data.Value());
                               phrase.Edit();
                               text = richText.GetText();
                               // Rich text the control turned into other text; plain text comes
                               // back unchanged.
                               if (progress && text != phrase.m_Data.Value()) {
                                   ++progress->Summary().phraseTextsConverted;
                               }
                               // A row an earlier run flattened, and not copied again, keeps
                               // its one suffix.
                               if (!flattened) text += kPhraseDataSuffix;
                               phrase.m_Data = text;
                               phrase.Update();
                           });
}
