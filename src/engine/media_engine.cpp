#include "engine/media_engine.h"

#include <sys/stat.h>
#include <unistd.h>

namespace corvan {

bool NamesPlayableFile(const FilePath& path)
{
    if (path.IsEmpty())
        return false;
    struct stat st {};
    return ::stat(path.Bytes().constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0
           && ::access(path.Bytes().constData(), R_OK) == 0;
}

}  // namespace corvan
