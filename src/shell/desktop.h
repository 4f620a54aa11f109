#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace corvan {

// What the window asks of the desktop around it: file dialogs, message boxes,
// the desktop's opener, and ending the program at once. The program uses
// RealDesktop(); tests put in their own answers.
struct Desktop {
    // Title, filter ("name|pattern;pattern"), start folder; returns the
    // chosen name, "" when cancelled.
    std::function<QString(const QString&, const QString&, const QString&)> openFileName;
    std::function<QString(const QString&, const QString&, const QString&)> saveFileName;
    // Title, text, icon; returns when the box is closed.
    std::function<void(const QString&, const QString&, QMessageBox::Icon)> message;
    std::function<bool(const QUrl&)> openUrl;
    // Ends the process with status 0 without any unload handling.
    std::function<void()> exitNow;
    // The window system takes a window's mask as its input region only and
    // shows the whole window (Wayland): the window must be see-through where
    // its mask cuts it away.
    bool maskIsInputOnly = false;
};

Desktop RealDesktop();

// A dialog filter written as "name|pattern;pattern|name|pattern" turned into
// the dialog's own filters, each pattern matching without regard to case.
QStringList DialogFilters(const QString& designFilter);

}  // namespace corvan
