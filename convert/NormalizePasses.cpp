#include <cstring>

#include "convert/BracedId.h"
#include "convert/Conversion.h"
#include "convert/RewriteEveryRow.h"

int NormalizeCategoryIds(CDstTblCategory& categories, UserMessages& messages,
                         RunProgress* progress) {
    std::string buffer;  // reused: its capacity outlives the rows
    return RewriteEveryRow(categories, messages, progress, ConversionPass::ShortenCategoryIds,
                           [&buffer, progress](CDstTblCategory& category) {
                               category.Edit();
                               // A std::string keeps a zero after its text: the buffer is one
                               // byte longer.
                               buffer = category.m_CategoryID.Value();
                               category.m_strCategoryID = ExtractBracedId(buffer.data());
                               buffer.resize(std::strlen(buffer.c_str()));
                               const bool shortened =
                                   buffer.size() != category.m_CategoryID.Value().size();
                               category.m_CategoryID = buffer;
                               category.Update();
                               if (progress && shortened) {
                                   ++progress->Summary().categoryIdsShortened;
                               }
                           });
}

int NormalizePhraseCategoryIds(CDstTblPhrase& phrases, UserMessages& messages,
                               RunProgress* progress) {
    std::string buffer;
    return RewriteEveryRow(phrases, messages, progress, ConversionPass::ShortenPhraseCategories,
                           [&buffer, progress](CDstTblPhrase& phrase) {
                               phrase.Edit();
                               buffer = phrase.m_CategoryID.Value();
                               std::string braced = ExtractBracedId(buffer.data());
                               const bool shortened =
                                   braced.size() != phrase.m_CategoryID.Value().size();
                               phrase.m_CategoryID = std::move(braced);
                               phrase.Update();
                               if (progress && shortened) {
                                   ++progress->Summary().phraseCategoriesShortened;
                               }
                           });
}
