// Corvan Media Player: a small, skinned desktop audio player.
#include "browser/folder_view.h"
#include "desktop/command_line.h"
#include "desktop/desktop_integration.h"
#include "desktop/open_in_window.h"
#include "desktop/open_plan.h"
#include "desktop/player_bus.h"
#include "engine/engine_module.h"
#include "engine/pending_media_engine.h"
#include "shell/after_exposed.h"
#include "shell/faces_ahead.h"
#include "shell/first_frame.h"
#include "shell/form2.h"
#include "shell/form2_design.h"
#include "shell/show_on_screen.h"
#include "shell/skin.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFontDatabase>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <fontconfig/fontconfig.h>
#include <sched.h>

#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <utility>

namespace {

struct SkinRead {
    std::optional<corvan::Skin> skin;
    QString error;
};

// What the controls show in the first frame that is read from files: the
// start folder's lists and the buttons' pictures.
struct ControlsRead {
    corvan::FolderView folder;
    corvan::ButtonPictureFiles pictures;
};

SkinRead ReadSkin(const QStringList& folders)
{
    SkinRead read;
    read.skin = corvan::ReadSkin(folders, &read.error);
    return read;
}

// The engine is made once both have happened: the window is on the screen
// and the engine's module has been opened behind it, on a thread of its own.
// Until then the window plays into the stand-in, which hands everything over.
class EngineArrival : public QObject {
public:
    explicit EngineArrival(corvan::PendingMediaEngine& engine)
        : engine_(engine)
    {
    }

    // After the window's first frame: opening the module loads GStreamer,
    // which would compete with the window for the processor, and on a first
    // start takes half a second while it builds its plugin registry. It
    // waits a little longer still: while the display server, the window
    // manager and a compositor take in the new window and put its first
    // frame on the screen, the load held that frame back by 5 to 10 ms; it
    // takes about 20 ms, so the engine is there well within a tenth of a
    // second of the window all the same.
    void Shown()
    {
        QTimer::singleShot(kSettleMs, this, [this] { Load(); });
    }

private:
    static constexpr int kSettleMs = 40;

    void Load()
    {
        loader_.emplace(corvan::EngineModule::Folders(), [this](std::shared_ptr<const corvan::EngineModule> module) {
            if (!module)
                return;
            QMetaObject::invokeMethod(
                this, [this, module] { engine_.Attach(module->Make(corvan::AudioOutput::Desktop)); },
                Qt::QueuedConnection);
        });
    }

    corvan::PendingMediaEngine& engine_;
    std::optional<corvan::EngineModuleLoader> loader_;
};

// Keeps the calling read-ahead thread off the processor the main thread
// was on when it started it. The main thread and the display server answer
// each other turn by turn while the application connects and the window is
// made; a read-ahead thread that the scheduler puts on their processor
// holds up both, and the window came up 2 to 3 ms later for it. With one
// processor only, the thread stays where it is.
void KeepOff(int mainProcessor)
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (mainProcessor < 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    CPU_CLR(mainProcessor, &allowed);
    if (CPU_COUNT(&allowed) > 0)
        sched_setaffinity(0, sizeof allowed, &allowed);
}

// The command line's answers, before anything else is done.
std::optional<int> Answered(const corvan::CommandLine& line)
{
    using Action = corvan::CommandLine::Action;
    switch (line.action) {
    case Action::Run:
        return std::nullopt;
    case Action::Help:
        std::fputs(corvan::UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Version:
        std::fputs(corvan::VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Wrong:
        std::fprintf(stderr, "corvan-player: %s\n%s", line.wrong.toLocal8Bit().constData(),
                     corvan::UsageText().toLocal8Bit().constData());
        return 2;
    }
    return 2;
}

// The player's name on the session bus: this start is the player, or
// another already is.
corvan::BusClaim ClaimThePlayer()
{
    return corvan::ClaimPlayerName(QDBusConnection::sessionBus());
}

}  // namespace

int main(int argc, char** argv)
{
    const corvan::CommandLine line = corvan::ParseCommandLine(argc, argv);
    if (const auto answered = Answered(line))
        return *answered;
    corvan::OpenPlan plan;
    if (!line.paths.isEmpty())
        plan = corvan::PlanOpening(line.paths);
    for (const QString& problem : plan.problems)
        std::fprintf(stderr, "corvan-player: %s\n", problem.toLocal8Bit().constData());
    const bool showsFolder = plan.kind == corvan::OpenPlan::Kind::Folder || plan.kind == corvan::OpenPlan::Kind::File;
    const corvan::FilePath startFolder = showsFolder ? plan.folder : corvan::FilePath::FromBytes(".");

    // What the window shows is read on two threads while the application
    // connects to the display: on one the start folder's lists and the
    // buttons' pictures, needed first, and then the skin picture and its
    // outline; on the other fontconfig's configuration and caches, which it
    // reads when a font is first asked for. Each thread started slows the
    // application's own start by about a millisecond, more than the
    // folder's lists take to read, so they do not get one of their own. Qt
    // takes the first thread that uses it for the main one: this one claims
    // it first.
    QThread::currentThread();
    const int mainProcessor = sched_getcpu();
    std::promise<ControlsRead> controlsRead;
    std::future<ControlsRead> controls = controlsRead.get_future();
    std::future<SkinRead> skinRead = std::async(
        std::launch::async, [&controlsRead, startFolder, folders = corvan::AssetFolders(), mainProcessor] {
            KeepOff(mainProcessor);
            ControlsRead read{corvan::ReadFolderView(startFolder), {}};
            read.pictures = corvan::ReadButtonPictures(corvan::PictureButtonNames(), folders);
            controlsRead.set_value(std::move(read));
            return ReadSkin(folders);
        });
    std::promise<void> appMade;
    std::future<void> fonts = std::async(std::launch::async, [mainProcessor, made = appMade.get_future()] {
        KeepOff(mainProcessor);
        FcInit();
        // The application's font database lists every face fontconfig
        // knows; it is filled here while the main thread waits for the
        // session bus below.
        made.wait();
        QFontDatabase::families();
    });

    QApplication app(argc, argv);
    appMade.set_value();
    QApplication::setApplicationName(QStringLiteral("Corvan Media Player"));
    QApplication::setDesktopFileName(QStringLiteral("corvan-player"));
    // Whether another start already is the player is asked on the session
    // bus, answered while the window is built.
    std::future<corvan::BusClaim> claim = std::async(std::launch::async, ClaimThePlayer);
    // Accessibility is reached over the session bus: the first control to
    // show a text would connect to it; it is done now, while the fonts are
    // listed.
    QAccessible::isActive();

    // The whole window, every control in its starting state, before it is
    // first shown; what is asked of the engine meanwhile waits in it.
    corvan::PendingMediaEngine engine;
    EngineArrival arrival(engine);
    fonts.wait();
    const ControlsRead start = controls.get();
    corvan::Form2 form(engine, corvan::RealDesktop(), start.folder, start.pictures);
    form.Load();
    if (claim.get() == corvan::BusClaim::Taken) {
        // The window is never shown: the player that runs takes the paths.
        return corvan::HandOver(QDBusConnection::sessionBus(), plan.accepted) ? 0 : 1;
    }
    corvan::OpenInWindow(form, plan);
    SkinRead read = skinRead.get();
    if (!read.skin) {
        QMessageBox::critical(nullptr, QStringLiteral("Corvan Media Player"), read.error);
        return 1;
    }
    corvan::WearSkin(form, *read.skin);
    read.skin.reset();
    corvan::AttachToDesktop(form, QDBusConnection::sessionBus());
    corvan::ShowOnScreen(form);
    corvan::DrawFirstFrameOnce(form);
    // The window manager takes the window in before it is exposed: meanwhile
    // the faces its texts are drawn in are loaded for the first paint.
    corvan::LoadFacesAhead(form);
    corvan::AfterExposed(form, [&arrival] { arrival.Shown(); });
    return app.exec();
}
