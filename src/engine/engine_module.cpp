#include "engine/engine_module.h"

#include "engine/engine_log.h"
#include "engine/program_files.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <utility>

namespace corvan {

namespace {

// What the module takes from the program rather than bringing its own: the
// engine's base class, the file paths, the playable-file check and the log.
// A program is linked from static libraries, which bring in only what the
// program itself calls; this keeps the module's needs in, whether the program
// calls them or not.
[[gnu::used]] void LentToTheModule(const FilePath& path)
{
    (void)NamesPlayableFile(path.Absolute());
    (void)lcEngine();
}

}  // namespace

QString EngineModule::FileName()
{
    return QStringLiteral(CORVAN_ENGINE_MODULE_FILE);
}

QStringList EngineModule::Folders()
{
    const QString programFolder = ProgramFolder();
    return {programFolder, QDir::cleanPath(programFolder + QStringLiteral("/" CORVAN_ENGINE_MODULE_FROM_BIN)),
            QStringLiteral(CORVAN_ENGINE_MODULE_DIR)};
}

std::shared_ptr<const EngineModule> EngineModule::Open(const QStringList& folders, QString* error)
{
    const std::optional<QString> path = FindFile(FileName(), folders);
    if (!path) {
        if (error)
            *error = QStringLiteral("%1 is in none of %2").arg(FileName(), folders.join(QStringLiteral(", ")));
        return nullptr;
    }
    // Every name is bound now: a module that does not fit the program is
    // refused here, not when one of its calls is first made.
    void* handle = dlopen(QFile::encodeName(*path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error)
            *error = QString::fromLocal8Bit(dlerror());
        return nullptr;
    }
    const auto load = reinterpret_cast<engine_module::LoadFunction>(dlsym(handle, engine_module::kLoad));
    const auto make = reinterpret_cast<engine_module::MakeFunction>(dlsym(handle, engine_module::kMake));
    if (!load || !make) {
        dlclose(handle);
        if (error)
            *error = QStringLiteral("%1 is not the engine's module").arg(*path);
        return nullptr;
    }
    load();
    return std::shared_ptr<const EngineModule>(new EngineModule(make));
}

std::unique_ptr<MediaEngine> EngineModule::Make(AudioOutput output) const
{
    return std::unique_ptr<MediaEngine>(make_(static_cast<int>(output)));
}

EngineModuleLoader::EngineModuleLoader(QStringList folders, Opened opened)
    : thread_([folders = std::move(folders), opened = std::move(opened)] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
        QString error;
        std::shared_ptr<const EngineModule> module = EngineModule::Open(folders, &error);
        if (!module)
            qCWarning(lcEngine).noquote() << "The playback engine is missing, nothing can play:" << error;
        if (opened)
            opened(std::move(module));
    })
{
}

EngineModuleLoader::~EngineModuleLoader()
{
    thread_.join();
}

}  // namespace corvan
