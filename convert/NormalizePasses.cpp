#include <cstring>

#include "convert/BracedId.h"
#include "convert/Conversion.h"
#include "convert/RewriteEveryRow.h"

int NormalizeCategoryIds(CDstTblCategory& categories, UserMessages& messages) {
    std::string buffer;  // reused: its capacity outlives the rows
    return RewriteEveryRow(categories, messages, [&buffer](CDstTblCategory& category) {
        category.Edit();
        // A std::string keeps a zero after its text: the buffer is one byte longer.
        buffer = category.m_CategoryID.Value();
        category.m_strCategoryID = ExtractBracedId(buffer.data());
        buffer.resize(std::strlen(buffer.c_str()));
        category.m_CategoryID = buffer;
        category.Update();
    });
}

int NormalizePhraseCategoryIds(CDstTblPhrase& phrases, UserMessages& messages) {
    std::string buffer;
    return RewriteEveryRow(phrases, messages, [&buffer](CDstTblPhrase& phrase) {
        phrase.Edit();
        buffer = phrase.m_CategoryID.Value();
        phrase.m_CategoryID = ExtractBracedId(buffer.data());
        phrase.Update();
    });
}
