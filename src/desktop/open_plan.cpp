#include "desktop/open_plan.h"

#include "browser/file_list_box.h"
#include "playlist/playlist_file.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace corvan {

namespace {

enum class Kind { Folder, File };

struct Found {
    FilePath path;
    Kind kind;
};

QString Problem(const FilePath& path, const QString& why)
{
    return path.Text() + QStringLiteral(": ") + why;
}

}  // namespace

bool IsPlaylistFile(const FilePath& path)
{
    const QByteArray name = path.Name().Bytes().toLower();
    return name.endsWith(".sic") || name.endsWith(".m3u") || name.endsWith(".m3u8") || name.endsWith(".pls");
}

OpenPlan PlanOpening(const QList<FilePath>& paths)
{
    OpenPlan plan;
    QList<Found> found;
    for (const FilePath& given : paths) {
        FilePath path = given.Bytes().startsWith("file:") ? FilePath::FromUri(given.Bytes()) : given;
        if (path.IsEmpty()) {
            plan.problems << Problem(given, QStringLiteral("not a file here"));
            continue;
        }
        path = path.Absolute();
        struct stat st {};
        if (::stat(path.Bytes().constData(), &st) != 0) {
            plan.problems << Problem(given, QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        const bool folder = S_ISDIR(st.st_mode);
        if (::access(path.Bytes().constData(), folder ? R_OK | X_OK : R_OK) != 0) {
            plan.problems << Problem(given, QString::fromLocal8Bit(std::strerror(errno)));
            continue;
        }
        if (!folder && !S_ISREG(st.st_mode)) {
            plan.problems << Problem(given, QStringLiteral("neither a file nor a folder"));
            continue;
        }
        found.append({path, folder ? Kind::Folder : Kind::File});
        plan.accepted << path;
    }

    const PatternList queued(FileListBox::MediaPattern());
    if (found.size() == 1 && found.front().kind == Kind::Folder) {
        plan.kind = OpenPlan::Kind::Folder;
        plan.folder = found.front().path;
        return plan;
    }
    if (found.size() == 1 && found.front().kind == Kind::File && !IsPlaylistFile(found.front().path)
        && queued.Matches(found.front().path.Name().Text())) {
        plan.kind = OpenPlan::Kind::File;
        plan.folder = found.front().path.Folder();
        plan.name = found.front().path.Name();
        return plan;
    }
    for (const Found& f : found) {
        if (f.kind == Kind::Folder) {
            for (const FilePath& name : ListMatchingFiles(f.path, queued).value_or(QList<FilePath>()))
                plan.entries.append(f.path.Join(name));
        } else if (IsPlaylistFile(f.path)) {
            QList<FilePath> entries;
            QString why;
            if (!LoadList(entries, f.path, &why))
                plan.problems << Problem(f.path, why);
            plan.entries.append(entries);
        } else {
            plan.entries.append(f.path);
        }
    }
    if (!plan.entries.isEmpty())
        plan.kind = OpenPlan::Kind::Entries;
    return plan;
}

}  // namespace corvan
