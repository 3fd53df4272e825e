#pragma once

#include <string>

#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "records/CSrcTblPhraseCategory.h"

// The four recordsets of one run, opened and closed in the run's fixed order.
struct ConversionRecordsets {
    void Open(const std::string& source, const std::string& destination);
    void Close();

    CSrcTblPhraseCategory srcCategories;
    CSrcQryPhraseItem srcPhraseItems;
    CDstTblCategory dstCategories;
    CDstTblPhrase dstPhrases;
};
