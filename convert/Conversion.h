#pragma once

#include <string>

#include "convert/ConversionHost.h"
#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "records/CSrcTblPhraseCategory.h"

inline constexpr const char* kUndefinedDescription = "Undefined";
inline constexpr const char* kPhraseDataSuffix = "9|";

// The whole run; engine errors from opening, passes 1 and 2 and closing reach the caller.
void RunConversion(const std::string& source, const std::string& destination, ConversionHost& host);

int ConvertGlossary(CSrcTblPhraseCategory& srcCategories, CSrcQryPhraseItem& srcPhraseItems,
                    CDstTblCategory& dstCategories, CDstTblPhrase& dstPhrases,
                    ConversionHost& host);

void CopyCategories(CSrcTblPhraseCategory& source, CDstTblCategory& destination);
void CopyPhrases(CSrcQryPhraseItem& source, CDstTblPhrase& destination);

// Passes 3 to 5: 1 when the walk ended normally, 0 when an engine error ended it (reported).
int NormalizeCategoryIds(CDstTblCategory& categories, UserMessages& messages);
int NormalizePhraseCategoryIds(CDstTblPhrase& phrases, UserMessages& messages);
int FlattenPhraseText(CDstTblPhrase& phrases, CRichText& richText, UserMessages& messages);
