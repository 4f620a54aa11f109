#include "engine/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace corvan {

QString ProgramFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

std::optional<QString> FindFile(const QString& relativePath, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(relativePath);
        if (QFileInfo(path).isFile())
            return path;
    }
    return std::nullopt;
}

}  // namespace corvan
