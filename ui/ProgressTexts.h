#pragma once

#include <QLocale>
#include <QString>

#include "convert/RunProgress.h"

// The passes a run goes through, first to last.
inline constexpr int kPassCount = static_cast<int>(ConversionPass::ConvertPhraseText) + 1;

// "Pass 4 of 5: Shortening phrase categories".
QString PassLine(ConversionPass pass);
// "58,801 of 100,000 rows", the digits grouped as the locale groups them.
QString RowsLine(const ConversionProgress& progress, const QLocale& locale = QLocale());
