#include "engine/media_engine.h"

#include <QFileInfo>

namespace corvan {

bool NamesPlayableFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.isReadable() && info.size() > 0;
}

}  // namespace corvan
