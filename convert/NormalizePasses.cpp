#include <cstring>

#include "convert/BracedId.h"
#include "convert/Conversion.h"
#include "db/EngineStart.h"

int NormalizeCategoryIds(CDstTblCategory& categories, UserMessages& messages) {
    try {
        std::string buffer;  // reused: its capacity outlives the rows
        if (!categories.IsBOF()) categories.MoveFirst();
        while (!categories.IsEOF()) {
            categories.Edit();
            // A std::string keeps a zero after its text: the buffer is one byte longer.
            buffer = categories.m_CategoryID.Value();
            categories.m_strCategoryID = ExtractBracedId(buffer.data());
            buffer.resize(std::strlen(buffer.c_str()));
            categories.m_CategoryID = buffer;
            categories.Update();
            categories.MoveNext();
        }
        return 1;
    } catch (const CDaoException& e) {
        ReportDaoException(e, messages);
        return 0;
    }
}

int NormalizePhraseCategoryIds(CDstTblPhrase& phrases, UserMessages& messages) {
    try {
        std::string buffer;
        if (!phrases.IsBOF()) phrases.MoveFirst();
        while (!phrases.IsEOF()) {
            phrases.Edit();
            buffer = phrases.m_CategoryID.Value();
            phrases.m_CategoryID = ExtractBracedId(buffer.data());
            phrases.Update();
            phrases.MoveNext();
        }
        return 1;
    } catch (const CDaoException& e) {
        ReportDaoException(e, messages);
        return 0;
    }
}
