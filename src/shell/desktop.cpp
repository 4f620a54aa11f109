#include "shell/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace corvan {

QStringList DialogFilters(const QString& designFilter)
{
    const QStringList parts = designFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList globs;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            // The dialog matches case-sensitively; "*.Mp3" must also find "song.mp3".
            QString glob;
            for (const QChar ch : pattern.trimmed()) {
                if (ch.toLower() != ch.toUpper())
                    glob += QLatin1Char('[') + ch.toLower() + ch.toUpper() + QLatin1Char(']');
                else
                    glob += ch;
            }
            if (!glob.isEmpty())
                globs << glob;
        }
        filters << parts[i].trimmed() + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

namespace {

QString AskFileName(QFileDialog::AcceptMode mode, const QString& title, const QString& filter, const QString& dir)
{
    QFileDialog dialog(QApplication::activeWindow(), title, dir);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(DialogFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

Desktop RealDesktop()
{
    // Dialogs belong to whichever window of the player is active when they open.
    const auto dialogParent = [] { return QApplication::activeWindow(); };
    Desktop d;
    d.openFileName = [](const QString& title, const QString& filter, const QString& dir) {
        return AskFileName(QFileDialog::AcceptOpen, title, filter, dir);
    };
    d.saveFileName = [](const QString& title, const QString& filter, const QString& dir) {
        return AskFileName(QFileDialog::AcceptSave, title, filter, dir);
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
    d.maskIsInputOnly = QGuiApplication::platformName().startsWith(u"wayland");
    return d;
}

}  // namespace corvan
