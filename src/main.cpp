// Corvan Media Player: a small, skinned desktop audio player.
#include "browser/folder_view.h"
#include "engine/gst_media_engine.h"
#include "engine/pending_media_engine.h"
#include "shell/after_exposed.h"
#include "shell/form2.h"
#include "shell/show_on_screen.h"
#include "shell/skin.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QThread>

#include <fontconfig/fontconfig.h>

#include <future>
#include <memory>
#include <optional>
#include <utility>

namespace {

struct SkinRead {
    std::optional<corvan::Skin> skin;
    QString error;
};

SkinRead ReadSkin(const QStringList& folders)
{
    SkinRead read;
    read.skin = corvan::ReadSkin(folders, &read.error);
    return read;
}

// The engine is made once both have happened: the window is on the screen
// and GStreamer has loaded behind it, on a thread of its own. Until then
// the window plays into the stand-in, which hands everything over.
class EngineArrival : public QObject {
public:
    explicit EngineArrival(corvan::PendingMediaEngine& engine) : engine_(engine) {}

    // After the window's first frame: loading GStreamer would compete with
    // the window for the processor, and on a first start it takes half a
    // second while it builds its plugin registry.
    void Shown()
    {
        preload_.emplace([this] { QMetaObject::invokeMethod(this, [this] { Loaded(); }, Qt::QueuedConnection); });
    }

private:
    void Loaded() { engine_.Attach(std::make_unique<corvan::GstMediaEngine>(corvan::AudioOutput::Desktop)); }

    corvan::PendingMediaEngine& engine_;
    std::optional<corvan::GstreamerPreload> preload_;
};

}  // namespace

int main(int argc, char** argv)
{
    // What the window shows is read on threads of their own while the
    // application connects to the display: the skin picture and its
    // outline, the start folder's lists, and fontconfig's configuration and
    // caches, which it reads when a font is first asked for. Qt takes the
    // first thread that uses it for the main one: this one claims it first.
    QThread::currentThread();
    std::future<SkinRead> skinRead = std::async(std::launch::async, ReadSkin, corvan::AssetFolders());
    std::future<corvan::FolderView> startFolder =
        std::async(std::launch::async, corvan::ReadFolderView, corvan::FilePath::FromBytes("."));
    std::future<void> fonts = std::async(std::launch::async, [] { FcInit(); });

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvan Media Player"));
    QApplication::setDesktopFileName(QStringLiteral("corvan-player"));

    // The whole window, every control in its starting state, before it is
    // first shown; what is asked of the engine meanwhile waits in it.
    corvan::PendingMediaEngine engine;
    EngineArrival arrival(engine);
    fonts.wait();
    corvan::Form2 form(engine, corvan::RealDesktop(), startFolder.get());
    form.Load();
    SkinRead read = skinRead.get();
    if (!read.skin) {
        QMessageBox::critical(nullptr, QStringLiteral("Corvan Media Player"), read.error);
        return 1;
    }
    corvan::WearSkin(form, *read.skin);
    read.skin.reset();
    corvan::ShowOnScreen(form);
    corvan::AfterExposed(form, [&arrival] { arrival.Shown(); });
    return app.exec();
}
