#pragma once

#include <string>
#include <vector>

#include "db/DaoException.h"
#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "records/CSrcTblPhraseCategory.h"

// The four recordsets of one run, opened and closed in the run's fixed order.
struct ConversionRecordsets {
    void Open(const std::string& source, const std::string& destination);
    void Close();
    // After an error has ended the run: closes each recordset, committing what was written, and
    // returns the failures met on the way instead of letting one hide the error that came first.
    std::vector<CDaoException> CloseAfterError();

    CSrcTblPhraseCategory srcCategories;
    CSrcQryPhraseItem srcPhraseItems;
    CDstTblCategory dstCategories;
    CDstTblPhrase dstPhrases;
};
