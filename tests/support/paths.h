#pragma once

// Paths in tests: written as text, compared with what the code keeps as
// bytes. A path whose bytes are not valid UTF-8 never equals a text.
#include "engine/file_path.h"

#include <QList>
#include <QStringList>

#include <ostream>

namespace corvan {

inline bool operator==(const FilePath& path, const QString& text)
{
    return path.TextIsExact() && path.Text() == text;
}

inline QStringList Texts(const QList<FilePath>& paths)
{
    QStringList texts;
    for (const FilePath& p : paths)
        texts << (p.TextIsExact() ? p.Text()
                                  : QStringLiteral("<bytes %1>").arg(QString::fromLatin1(p.Bytes().toHex())));
    return texts;
}

inline bool operator==(const QList<FilePath>& paths, const QStringList& texts)
{
    return Texts(paths) == texts;
}

inline void PrintTo(const FilePath& path, std::ostream* os)
{
    *os << '"' << path.Bytes().toStdString() << '"';
}

namespace test {

inline FilePath P(const QString& text)
{
    return FilePath::FromText(text);
}

}  // namespace test
}  // namespace corvan
