#include "playlist/playlist_commands.h"

#include "browser/dir_list_box.h"
#include "browser/media_search.h"
#include "engine/media_engine.h"
#include "playlist/list1.h"
#include "playlist/playlist_log.h"
#include "playlist/progress_throttle.h"

#include <QDir>
#include <QScopeGuard>

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
    const FilePath start = c_.Dir1->Path();

    QLabel* label = c_.Label1;
    ProgressThrottle progress([label](const QString& text) {
        label->setText(text);
        label->repaint();
    });
    const MediaSearchResult found = FindFiles(start, pattern,
                                              [&progress](const QString& text) { progress.Update(text); });
    progress.Finish();

    c_.Label2->setText(QString::number(found.count));
    if (found.count < 0 && dialogs_.message)
        dialogs_.message(QStringLiteral("QZFileFind"), SearchFailureMessage(found.count), QMessageBox::Warning);
    replaceEntries(found.count > 0 ? found.files : QList<FilePath>{FilePath::FromText(NothingFoundLine())});
}

void PlaylistCommands::SavePlaylist()
{
    const QString name = dialogs_.saveFileName
                             ? dialogs_.saveFileName(QStringLiteral("Save Mp3 PlayList"), SaveFilter(), HomeFolder())
                             : QString();
    if (name.isEmpty())
        return;
    // A list that cannot be written is said to be so: a silent failure
    // would leave the user believing it saved. The file that was there
    // before stays as it was.
    const FilePath file = FilePath::FromText(name);
    QString reason;
    if (SaveList(*c_.List1, file, &reason))
        return;
    qCWarning(lcPlaylist).noquote() << "Save List to" << file.Text() << "failed:" << reason;
    if (dialogs_.message)
        dialogs_.message(
            QStringLiteral("Save Mp3 PlayList"),
            QStringLiteral("The playlist was not saved to \"%1\": %2.\nA file already there is left as it was.")
                .arg(file.Text(), reason),
            QMessageBox::Warning);
}

void PlaylistCommands::LoadPlaylist()
{
    // The playlist comes into view before the dialog, even if it is cancelled.
    c_.File1->hide();
    c_.List1->show();
    const QString name = dialogs_.openFileName
                             ? dialogs_.openFileName(QStringLiteral("Load Mp3 PlayList"), LoadFilter(), HomeFolder())
                             : QString();
    // Cancelled, the list is left empty, as it always was; a list named and
    // not read is said to be so.
    const FilePath file = FilePath::FromText(name);
    QString reason;
    if (loadEntries(file, &reason) || name.isEmpty())
        return;
    qCWarning(lcPlaylist).noquote() << "Load List from" << file.Text() << "failed:" << reason;
    if (dialogs_.message)
        dialogs_.message(QStringLiteral("Load Mp3 PlayList"),
                         QStringLiteral("The playlist \"%1\" cannot be read: %2.").arg(file.Text(), reason),
                         QMessageBox::Warning);
}

void PlaylistCommands::CopySelectionToSearch()
{
    // Emptying the list while it is refilled is no click of the user's.
    if (refilling_)
        return;
    c_.Text1->setText(selectedEntry().Text());
}

void PlaylistCommands::PlaySelectedLine()
{
    // The box shows the entry; the engine gets the file it names, by its
    // bytes: the shown text cannot name a file whose name is not UTF-8.
    const FilePath entry = selectedEntry();
    c_.Text1->setText(entry.Text());
    engine_.SetFileName(entry);
    c_.Drive1->hide();
    c_.Dir1->hide();
    c_.List1->show();
    c_.List1->setGeometry(25, 60, 355, c_.List1->height());
}

void PlaylistCommands::PlayEntries(const QList<FilePath>& entries)
{
    c_.File1->hide();
    c_.List1->show();
    replaceEntries(entries);
    if (entries.isEmpty())
        return;
    c_.List1->setCurrentRow(0);
    PlaySelectedLine();
}

void PlaylistCommands::KeyTyped(const QString& text)
{
    if (text == QLatin1String("+"))
        FindMedia();
}

FilePath PlaylistCommands::selectedEntry() const
{
    const QList<QListWidgetItem*> selected = c_.List1->selectedItems();
    return selected.isEmpty() ? FilePath() : EntryOf(selected.front());
}

void PlaylistCommands::replaceEntries(const QList<FilePath>& entries)
{
    refilling_ = true;
    const auto done = qScopeGuard([this] { refilling_ = false; });
    ReplaceEntries(*c_.List1, entries);
}

bool PlaylistCommands::loadEntries(const FilePath& file, QString* reason)
{
    refilling_ = true;
    const auto done = qScopeGuard([this] { refilling_ = false; });
    return LoadList(*c_.List1, file, reason);
}

QString HomeFolder()
{
    return QDir::homePath();
}

}  // namespace corvan
