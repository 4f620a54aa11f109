// Corvan Media Player: a small, skinned desktop audio player.
#include "engine/gst_media_engine.h"
#include "shell/after_exposed.h"
#include "shell/form2.h"
#include "shell/skin.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <future>
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

}  // namespace

int main(int argc, char** argv)
{
    // The skin picture is read and cut to its outline while the application
    // connects to the display. Qt takes the first thread that uses it for
    // the main one: this one claims it before the reading starts.
    QThread::currentThread();
    std::future<SkinRead> skinRead = std::async(std::launch::async, ReadSkin, corvan::AssetFolders());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvan Media Player"));
    QApplication::setDesktopFileName(QStringLiteral("corvan-player"));

    // Declared before the window, so that the window goes first.
    std::optional<corvan::GstreamerPreload> preload;
    std::optional<corvan::GstMediaEngine> engine;
    corvan::Form2 form(corvan::RealDesktop());
    SkinRead read = skinRead.get();
    if (!read.skin) {
        QMessageBox::critical(nullptr, QStringLiteral("Corvan Media Player"), read.error);
        return 1;
    }
    corvan::WearSkin(form, *read.skin);
    read.skin.reset();

    // The window shows in its skin first. GStreamer loads meanwhile, on a
    // thread that yields to the window's own work; the engine, the controls
    // and their handlers follow as soon as the window is on the screen.
    form.show();
    preload.emplace();
    corvan::AfterExposed(form, [&] {
        engine.emplace(corvan::AudioOutput::Desktop);
        form.Build(*engine);
        form.Load();
    });
    return app.exec();
}
