#pragma once

#include <QStringList>
#include <optional>
#include <string>

class QWidget;

// Open-file dialog flags with the platform's values.
inline constexpr unsigned OFN_READONLY = 0x00000001;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned OFN_NOVALIDATE = 0x00000100;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;

struct OpenFileRequest {
    bool openMode = true;          // open, not save as
    std::string defaultExtension;  // without the dot
    std::string fileName;          // initial file name
    unsigned flags = 0;
    std::string filter;  // "Description|pattern|...||"
    QWidget* owner = nullptr;
};

// The common open-file dialog: the chosen file's full path, or nothing when it was cancelled.
class OpenFileDialog {
public:
    virtual ~OpenFileDialog() = default;
    virtual std::optional<std::string> Run(const OpenFileRequest& request) = 0;
};

// The framework's filter form ("Desc|pat1;pat2|Desc2|pat||") as Qt name filters
// ("Desc (pat1 pat2)"); a description that already ends with its patterns is kept as it is.
QStringList NameFiltersFromFilterString(const std::string& filter);

// The file name of a path with a drive letter (C:\dir\file.mdb) on a system without
// drives; nothing for any other path, and always nothing where drives exist.
std::optional<QString> FileNameOfDrivePath(const QString& path);

class QFileDialog;
// Sets a Qt file dialog up for the request: mode, flags, default extension, filter, initial file.
void ConfigureFileDialog(QFileDialog& dialog, const OpenFileRequest& request);

class QtOpenFileDialog : public OpenFileDialog {
public:
    std::optional<std::string> Run(const OpenFileRequest& request) override;
};
