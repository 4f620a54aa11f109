#include "audio/seeking.h"

#include "engine/media_engine.h"

namespace corvan {

Seeking::Seeking(MediaEngine& engine, QObject* parent)
    : QObject(parent)
    , engine_(engine)
{
}

void Seeking::SeekBack()
{
    engine_.SetCurrentPosition(engine_.CurrentPosition() - kSeekStep);
}

void Seeking::SeekForward()
{
    engine_.SetCurrentPosition(engine_.CurrentPosition() + kSeekStep);
}

}  // namespace corvan
