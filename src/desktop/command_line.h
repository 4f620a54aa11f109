#pragma once

#include "engine/file_path.h"

#include <QList>
#include <QString>

namespace corvan {

// What the command line asks: `corvan-player [PATH]...`, each path a media
// file, a folder, a playlist file or a "file:" URI; or --help, --version.
struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    QList<FilePath> paths;  // as given, bytes and all
    QString wrong;          // for Wrong: what was not understood
};

// Reads the arguments as the system passed them (bytes: a name need not be
// valid UTF-8). "--" ends the options; "-" alone is a path.
CommandLine ParseCommandLine(int argc, const char* const* argv);

QString UsageText();
QString VersionText();

}  // namespace corvan
