#include "playlist/playlist_commands.h"

#include "browser/dir_list_box.h"
#include "browser/media_search.h"
#include "engine/media_engine.h"
#include "playlist/list1.h"
#include "playlist/progress_throttle.h"

#include <QScopeGuard>

#include <pwd.h>
#include <unistd.h>

namespace corvan {

PlaylistCommands::PlaylistCommands(const PlaylistControls& controls, MediaEngine& engine, PlaylistDialogs dialogs,
                                   QObject* parent)
    : QObject(parent)
    , c_(controls)
    , engine_(engine)
    , dialogs_(std::move(dialogs))
{
    PrepareListBox(*c_.List1);
}

void PlaylistCommands::FindMedia()
{
    const QString pattern = c_.Combo1->currentText();
    const QString start = c_.Dir1->Path();

    QLabel* label = c_.Label1;
    ProgressThrottle progress([label](const QString& text) {
        label->setText(text);
        label->repaint();
    });
    const MediaSearchResult found =
        FindFiles(start, pattern, [&progress](const QString& text) { progress.Update(text); });
    progress.Finish();

    c_.Label2->setText(QString::number(found.count));
    if (found.count < 0 && dialogs_.message)
        dialogs_.message(QStringLiteral("QZFileFind"), SearchFailureMessage(found.count), QMessageBox::Warning);
    replaceLines(found.count > 0 ? found.files : QStringList{NothingFoundLine()});
}

void PlaylistCommands::SavePlaylist()
{
    const QString name = dialogs_.saveFileName
                             ? dialogs_.saveFileName(QStringLiteral("Save Mp3 PlayList"), ListFilter(), HomeFolder())
                             : QString();
    SaveList(*c_.List1, name);
}

void PlaylistCommands::LoadPlaylist()
{
    // The playlist comes into view before the dialog, even if it is cancelled.
    c_.File1->hide();
    c_.List1->show();
    const QString name = dialogs_.openFileName
                             ? dialogs_.openFileName(QStringLiteral("Load Mp3 PlayList"), ListFilter(), HomeFolder())
                             : QString();
    loadLines(name);
}

void PlaylistCommands::CopySelectionToSearch()
{
    // Emptying the list while it is refilled is no click of the user's.
    if (refilling_)
        return;
    c_.Text1->setText(selectedLine());
}

void PlaylistCommands::PlaySelectedLine()
{
    c_.Text1->setText(selectedLine());
    engine_.SetFileName(c_.Text1->text());
    c_.Drive1->hide();
    c_.Dir1->hide();
    c_.List1->show();
    c_.List1->setGeometry(25, 60, 355, c_.List1->height());
}

void PlaylistCommands::KeyTyped(const QString& text)
{
    if (text == QLatin1String("+"))
        FindMedia();
}

QString PlaylistCommands::selectedLine() const
{
    const QList<QListWidgetItem*> selected = c_.List1->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

void PlaylistCommands::replaceLines(const QStringList& lines)
{
    refilling_ = true;
    const auto done = qScopeGuard([this] { refilling_ = false; });
    ReplaceLines(*c_.List1, lines);
}

bool PlaylistCommands::loadLines(const QString& fileName)
{
    refilling_ = true;
    const auto done = qScopeGuard([this] { refilling_ = false; });
    return LoadList(*c_.List1, fileName);
}

QString HomeFolder()
{
    if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_dir && account->pw_dir[0])
        return QString::fromLocal8Bit(account->pw_dir);
    return QStringLiteral("/");
}

}  // namespace corvan
