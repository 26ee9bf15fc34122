#include "app/working_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kavex {
namespace {

// Installed beside the program as <prefix>/bin/kavex and <prefix>/share/kavex/schemes.
void copyInstalledSchemes(const QString& programPath, const QDir& target) {
    QDir schemes(QFileInfo(programPath).absolutePath() + "/../share/kavex/schemes");
    for (const QFileInfo& scheme : schemes.entryInfoList({"*.col"}, QDir::Files)) {
        const QString copy = target.filePath(scheme.fileName());
        if (!QFileInfo::exists(copy)) QFile::copy(scheme.absoluteFilePath(), copy);
    }
}

} // namespace

QString chooseWorkingFolder(const QString& given, const QString& programPath) {
    if (!given.isEmpty()) return given;
    const QFileInfo current(QDir::currentPath());
    if (current.isWritable() && current.absoluteFilePath() != QFileInfo(QDir::homePath()).absoluteFilePath())
        return current.absoluteFilePath();
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/kavex";
    if (!QDir().mkpath(own)) return {};
    copyInstalledSchemes(programPath, QDir(own));
    return own;
}

} // namespace kavex
