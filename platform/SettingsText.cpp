#include "platform/SettingsText.h"

#include <QFile>
#include <QStringList>
#include <vector>

namespace {

// Group and key names in the file are percent-encoded where they hold other characters.
QString DecodedName(QStringView text) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.trimmed().toUtf8()));
}

struct FileLine {
    QString section;  // the section the line stands in, or the one it opens
    QString text;
    bool opensSection;
};

// The lines of the settings file; none when there is no such file (the registry, or nothing
// written yet).
std::vector<FileLine> FileLines(const QSettings& settings) {
    std::vector<FileLine> lines;
    QFile file(settings.fileName());
    if (!file.open(QIODevice::ReadOnly)) return lines;
    const QString text = QString::fromUtf8(file.readAll());
    QString section = QStringLiteral("General");
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        const bool opens = line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2;
        if (opens) section = DecodedName(line.sliced(1, line.size() - 2));
        lines.push_back({section, line.toString(), opens});
    }
    return lines;
}

// The value's text as it stands in the file: everything after the first "=".
std::optional<QString> RawText(const QSettings& settings, const QString& key) {
    const qsizetype slash = key.lastIndexOf(u'/');
    const QString section = slash < 0 ? QStringLiteral("General") : key.left(slash);
    const QString name = key.mid(slash + 1);
    for (const FileLine& line : FileLines(settings)) {
        const qsizetype equals = line.text.indexOf(u'=');
        if (line.opensSection || line.section != section || equals <= 0) continue;
        if (DecodedName(QStringView(line.text).left(equals)) != name) continue;
        return line.text.sliced(equals + 1).trimmed();
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> ReadSettingsText(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (!value.isValid()) return std::nullopt;
    if (value.typeId() != QMetaType::QStringList) return value.toString();
    if (std::optional<QString> raw = RawText(settings, key)) return raw;
    return value.toStringList().join(u',');
}

bool SettingsGroupExists(const QSettings& settings, const QString& group) {
    if (settings.childGroups().contains(group)) return true;
    for (const FileLine& line : FileLines(settings)) {
        if (line.opensSection && (line.section == group || line.section.startsWith(group + u'/'))) {
            return true;
        }
    }
    return false;
}

void KeepSettingsTexts(QSettings& settings) {
    // Only this file's own values: one read from a fallback file is not copied into it.
    const bool fallbacks = settings.fallbacksEnabled();
    settings.setFallbacksEnabled(false);
    for (const QString& key : settings.allKeys()) {
        if (settings.value(key).typeId() != QMetaType::QStringList) continue;
        if (std::optional<QString> text = ReadSettingsText(settings, key)) {
            settings.setValue(key, *text);
        }
    }
    settings.setFallbacksEnabled(fallbacks);
}
