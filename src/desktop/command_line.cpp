#include "desktop/command_line.h"

#include <cstring>

#ifndef CORVAN_VERSION
#error "CORVAN_VERSION must name the program's version"
#endif

namespace corvan {

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && std::strcmp(arg, "--") == 0) {
            options = false;
            continue;
        }
        if (options && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
                line.action = CommandLine::Action::Help;
                return line;
            }
            if (std::strcmp(arg, "--version") == 0) {
                line.action = CommandLine::Action::Version;
                return line;
            }
            line.action = CommandLine::Action::Wrong;
            line.wrong = QStringLiteral("unknown option: %1").arg(QString::fromUtf8(arg));
            return line;
        }
        line.paths.append(FilePath::FromBytes(QByteArray(arg)));
    }
    return line;
}

QString UsageText()
{
    return QStringLiteral("Usage: corvan-player [PATH]...\n"
                          "Plays music: MP3, WAV, WMA, WMV (sound) and MIDI files.\n"
                          "\n"
                          "  PATH          a music file: its folder is listed and the file plays;\n"
                          "                a folder: it is listed;\n"
                          "                several files, or a playlist (.sic, .m3u, .m3u8, .pls):\n"
                          "                they fill the playlist and the first plays.\n"
                          "                A \"file:\" URI names a file too.\n"
                          "  -h, --help    show this and end\n"
                          "      --version show the version and end\n"
                          "\n"
                          "When the player already runs, the paths go to it.\n");
}

QString VersionText()
{
    return QStringLiteral("Corvan Media Player %1\n").arg(QStringLiteral(CORVAN_VERSION));
}

}  // namespace corvan
