#include "convert/Conversion.h"
#include "db/EngineStart.h"

namespace {

bool EndsWithSuffix(const std::string& text) {
    const std::string_view suffix = kPhraseDataSuffix;
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

int FlattenPhraseText(CDstTblPhrase& phrases, CRichText& richText, UserMessages& messages) {
    try {
        std::string text;
        if (!phrases.IsBOF()) phrases.MoveFirst();
        while (!phrases.IsEOF()) {
            richText.SetTextRTF(phrases.m_Data.Value());
            phrases.Edit();
            text = richText.GetText();
            // Text that already carries the suffix (a row flattened by an earlier run and not
            // copied again) keeps it once.
            if (!EndsWithSuffix(text)) text += kPhraseDataSuffix;
            phrases.m_Data = text;
            phrases.Update();
            phrases.MoveNext();
        }
        return 1;
    } catch (const CDaoException& e) {
        ReportDaoException(e, messages);
        return 0;
    }
}
