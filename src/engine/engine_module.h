#pragma once

#include "engine/audio_output.h"
#include "engine/engine_module_abi.h"
#include "engine/media_engine.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <thread>

namespace corvan {

// The engine's GStreamer half is a module of its own, which the program opens
// once its window is up: the program then starts without waiting for
// GStreamer and the dozen libraries it brings. The module is never closed;
// the engines it makes run its code.
class EngineModule {
public:
    // The module's file name.
    static QString FileName();

    // Where the program looks for it, in this order: the program's own
    // folder (a build tree), the installed module folder seen from the
    // program's (an install made with another prefix, or unpacked elsewhere),
    // and the installed module folder itself.
    static QStringList Folders();

    // Opens the module from the first of `folders` that holds it and starts
    // GStreamer with the plugins the engine uses. Blocks for as long as that
    // takes (half a second on a first start, while GStreamer builds its
    // plugin registry), so it is called off the user-interface thread.
    // Nothing, and `error` says why, when no folder holds the module or it
    // cannot be opened.
    static std::shared_ptr<const EngineModule> Open(const QStringList& folders, QString* error);

    // A new engine, made and used on the user-interface thread.
    std::unique_ptr<MediaEngine> Make(AudioOutput output) const;

private:
    explicit EngineModule(engine_module::MakeFunction make)
        : make_(make)
    {
    }

    engine_module::MakeFunction make_;
};

// Opens the module on a thread of its own at a background priority, so that
// the window and the display's own work come first. `opened` runs on that
// thread with the module, or with nothing once the reason is in the log.
// Joined when it goes away.
class EngineModuleLoader {
public:
    using Opened = std::function<void(std::shared_ptr<const EngineModule>)>;
    EngineModuleLoader(QStringList folders, Opened opened);
    ~EngineModuleLoader();
    EngineModuleLoader(const EngineModuleLoader&) = delete;
    EngineModuleLoader& operator=(const EngineModuleLoader&) = delete;

private:
    std::thread thread_;
};

}  // namespace corvan
