#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace corvan {

// The folder the running program is in, also before the application object
// exists (the skin is read while it is made).
QString ProgramFolder();

// `relativePath` in the first of `folders` that holds it as a file.
std::optional<QString> FindFile(const QString& relativePath, const QStringList& folders);

}  // namespace corvan
