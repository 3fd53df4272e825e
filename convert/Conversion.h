#pragma once

#include <string>

#include "convert/ConversionHost.h"
#include "records/CDstTblCategory.h"
#include "records/CDstTblPhrase.h"
#include "records/CSrcQryPhraseItem.h"
#include "records/CSrcTblPhraseCategory.h"

inline constexpr const char* kUndefinedDescription = "Undefined";
inline constexpr const char* kPhraseDataSuffix = "9|";

// The whole run; engine errors from opening, passes 1 and 2 and closing reach the caller, as
// does ConversionCancelled when the host asks to stop (the rows written so far are committed
// first). What the run changed goes into summary, as far as it got.
void RunConversion(const std::string& source, const std::string& destination, ConversionHost& host,
                   ConversionSummary* summary = nullptr);

// The five passes. With progress, each pass reports its rows to the host and counts what it
// changed; without, they run silent.
int ConvertGlossary(CSrcTblPhraseCategory& srcCategories, CSrcQryPhraseItem& srcPhraseItems,
                    CDstTblCategory& dstCategories, CDstTblPhrase& dstPhrases, ConversionHost& host,
                    RunProgress* progress = nullptr);

void CopyCategories(CSrcTblPhraseCategory& source, CDstTblCategory& destination,
                    RunProgress* progress = nullptr);
void CopyPhrases(CSrcQryPhraseItem& source, CDstTblPhrase& destination,
                 RunProgress* progress = nullptr);

// Passes 3 to 5: 1 when the walk ended normally, 0 when an engine error ended it (reported).
int NormalizeCategoryIds(CDstTblCategory& categories, UserMessages& messages,
                         RunProgress* progress = nullptr);
int NormalizePhraseCategoryIds(CDstTblPhrase& phrases, UserMessages& messages,
                               RunProgress* progress = nullptr);
int FlattenPhraseText(CDstTblPhrase& phrases, CRichText& richText, UserMessages& messages,
                      RunProgress* progress = nullptr);
