#pragma once

#include <QSettings>
#include <QString>
#include <optional>

// Settings as they were written. Where settings live in configuration files, QSettings reads an
// unquoted value holding a comma as a list and forgets a group that holds no values; here such a
// value is one text, exactly as it stands in the file, and such a group exists.

// The text of a value, or nothing when the value is absent.
std::optional<QString> ReadSettingsText(const QSettings& settings, const QString& key);

// Whether a top-level group exists, values or not.
bool SettingsGroupExists(const QSettings& settings, const QString& group);

// Turns every value the file holds as a list back into its text before settings are written, so
// that writing one value leaves the others as they were.
void KeepSettingsTexts(QSettings& settings);
