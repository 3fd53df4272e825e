#include "ui/ProgressTexts.h"

#include <QCoreApplication>

QString PassLine(ConversionPass pass) {
    return QCoreApplication::translate("RunProgressDialog", "Pass %1 of %2: %3")
        .arg(static_cast<int>(pass) + 1)
        .arg(kPassCount)
        .arg(QString::fromLatin1(PassName(pass)));
}

QString RowsLine(const ConversionProgress& progress, const QLocale& locale) {
    return QCoreApplication::translate("RunProgressDialog", "%1 of %2 rows")
        .arg(locale.toString(progress.rowsDone), locale.toString(progress.rowsToDo));
}
