#include "shell/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>

#include <cstdio>
#include <cstdlib>

namespace corvan {

Desktop RealDesktop()
{
    // Dialogs belong to whichever window of the player is active when they open.
    const auto dialogParent = [] { return QApplication::activeWindow(); };
    Desktop d;
    d.openFileName = [dialogParent](const QString& title, const QString& filter, const QString& dir) {
        return QFileDialog::getOpenFileName(dialogParent(), title, dir, filter);
    };
    d.saveFileName = [dialogParent](const QString& title, const QString& filter, const QString& dir) {
        return QFileDialog::getSaveFileName(dialogParent(), title, dir, filter);
    };
    d.message = [dialogParent](const QString& title, const QString& text, QMessageBox::Icon icon) {
        QMessageBox box(icon, title, text, QMessageBox::Ok, dialogParent());
        box.exec();
    };
    d.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    d.exitNow = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    return d;
}

}  // namespace corvan
