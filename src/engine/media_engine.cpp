#include "engine/media_engine.h"
