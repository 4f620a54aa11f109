// Corvan Media Player: a small, skinned desktop audio player.
#include "engine/gst_media_engine.h"
#include "shell/form2.h"
#include "shell/skin.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    // GStreamer loads while the window is being built.
    corvan::GstreamerPreload preload;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvan Media Player"));
    QApplication::setDesktopFileName(QStringLiteral("corvan-player"));

    corvan::GstMediaEngine engine(corvan::AudioOutput::Desktop);
    corvan::Form2 form(engine, corvan::RealDesktop());

    QString error;
    if (!corvan::DressInSkin(form, &error)) {
        QMessageBox::critical(nullptr, QStringLiteral("Corvan Media Player"), error);
        return 1;
    }
    form.Load();
    form.show();
    return app.exec();
}
