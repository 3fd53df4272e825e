#include "ui/OpenFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

QStringList NameFiltersFromFilterString(const std::string& filter) {
    const QStringList parts = QString::fromLocal8Bit(filter).split(u'|');
    QStringList filters;
    // Pairs of description and pattern until the empty entry that ends the list.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        if (description.isEmpty()) break;
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");  // every file
        }
        const QString joined = patterns.join(u' ');
        // Qt takes the patterns from the last parentheses; where those already hold them as
        // Qt reads them, the description is kept as the user sees it.
        if (description.endsWith(u'(' + joined + u')')) {
            filters << description;
            continue;
        }
        filters << description + QStringLiteral(" (") + joined + u')';
    }
    return filters;
}

std::optional<QString> FileNameOfDrivePath(const QString& path) {
#ifdef Q_OS_WIN
    (void)path;
    return std::nullopt;
#else
    const bool drive = path.size() >= 3 && path.at(0).isLetter() && path.at(1) == u':' &&
                       (path.at(2) == u'\\' || path.at(2) == u'/');
    if (!drive) return std::nullopt;
    return path.section(QRegularExpression(QStringLiteral("[\\\\/]")), -1);
#endif
}

void ConfigureFileDialog(QFileDialog& dialog, const OpenFileRequest& request) {
    dialog.setAcceptMode(request.openMode ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // Without "file must exist" any name may be chosen, typed names included.
    dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                                : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLocal8Bit(request.defaultExtension));
    dialog.setNameFilters(NameFiltersFromFilterString(request.filter));
    const QFileInfo initial(QString::fromLocal8Bit(request.fileName));
    if (const auto name = FileNameOfDrivePath(QString::fromLocal8Bit(request.fileName))) {
        // A Windows default (C:\Program Files\...) names no folder here: start at home
        // with its file name, never under the current folder.
        dialog.setDirectory(QDir::home());
        dialog.selectFile(*name);
    } else if (!request.fileName.empty()) {
        if (initial.absoluteDir().exists()) {
            dialog.setDirectory(initial.absoluteDir());
            dialog.selectFile(initial.fileName());
        } else {
            dialog.selectFile(QString::fromLocal8Bit(request.fileName));
        }
    }
}

std::optional<std::string> QtOpenFileDialog::Run(const OpenFileRequest& request) {
    QFileDialog dialog(request.owner);
    ConfigureFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.first()).toLocal8Bit().toStdString();
}
