#pragma once

#include "engine/file_path.h"

#include <QList>
#include <QListWidget>
#include <QObject>

namespace corvan {

// The playlist box `List1`: a plain list box of lines, and the only copy of
// the playlist. Each line shows an entry as text; an entry whose bytes the
// text cannot give back (a name that is not valid UTF-8) keeps them too.

QList<FilePath> Entries(const QListWidget& list);
// The entry of a line; empty for none.
FilePath EntryOf(const QListWidgetItem* item);
// The content is only ever replaced whole.
void ReplaceEntries(QListWidget& list, const QList<FilePath>& entries);
// Readies the box for long playlists and long lines: every line gets the
// height of the first (so a million lines lay out at once), and only the
// start of a very long line is drawn (shaping megabytes of text for one
// row would freeze the window). The lines themselves stay whole.
void PrepareListBox(QListWidget& list);

// The playlist file commands' procedures on the box itself.
bool SaveList(const QListWidget& list, const FilePath& file, QString* reason = nullptr);
// Clears the box, then appends the file's entries; the box stays empty when
// the file cannot be read.
bool LoadList(QListWidget& list, const FilePath& file, QString* reason = nullptr);

// Reports what the box has no signal for: typed keys (before its own
// keyboard handling sees them), presses with the right button (kept from
// the box, so they do not move the selection), and double-clicks anywhere
// in it, once the press before them has selected the line under the pointer.
class ListEvents : public QObject {
    Q_OBJECT

public:
    explicit ListEvents(QListWidget* list);

signals:
    void KeyTyped(const QString& text);
    void RightPressed(const QPoint& globalPos);
    void DoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Both kept as plain objects from the start: while the list is being
    // destroyed its children still send events here, and neither the list
    // nor its viewport may then be used as what they were.
    const QObject* list_;
    const QObject* viewport_;
};

}  // namespace corvan
