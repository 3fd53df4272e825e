// The program's string table and icons. Tallowmere.rc holds the same for Windows builds.
#include <QFile>

#include "ui/Resources.h"

std::string LoadResourceString(int id) {
    switch (id) {
        case IDS_ABOUTBOX:
            return "&About Tallowmere...";
        case IDS_REGISTRY_KEY:
            return "Veltrane";
        default:
            return {};
    }
}

QIcon LoadIconResource(int id) {
    if (id != IDR_MAINFRAME) return {};
    return QIcon(QStringLiteral(":/res/Tallowmere.ico"));
}
