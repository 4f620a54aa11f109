#pragma once

#include "browser/pattern.h"
#include "engine/file_path.h"

#include <QList>
#include <QListWidget>

#include <optional>

namespace corvan {

// `File1`: the names of one folder's files that match the pattern list,
// sorted without regard to case, names beginning with "." left out. It is
// the play queue: the selected entry is the current track. Each entry shows
// its name as text and keeps it as the file system's bytes.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    static QString MediaPattern() { return QStringLiteral("*.mp3;*.wav;*.wmv;*.mid;*.wma"); }

    explicit FileListBox(QWidget* parent = nullptr);

    FilePath Path() const { return path_; }
    // Lists `folder` and clears the selection; false (and nothing changed)
    // when the folder cannot be listed.
    bool SetPath(const FilePath& folder);
    // Shows `folder` with the entries it was read to have (ListMatchingFiles
    // with this list's pattern), as SetPath would.
    void Show(const FilePath& folder, const QList<FilePath>& names);
    void Refresh();

    QString Pattern() const { return patternText_; }
    void SetPattern(const QString& patterns);

    int ListCount() const { return count(); }
    int ListIndex() const;
    // -1 clears the selection; anything outside -1..ListCount()-1 is refused
    // and the selection stays as it was.
    bool SetListIndex(int index);
    // An entry's name as shown; empty outside the list.
    QString Entry(int index) const;
    // An entry's name as the file system has it; empty outside the list.
    FilePath EntryName(int index) const;
    // The entry of that name, or -1.
    int IndexOf(const FilePath& name) const;
    QString SelectedName() const;
    // The folder, "/" and the selected name: the path a start hands the
    // engine. At the root this gives "//name"; with nothing selected, the
    // folder followed by "/".
    FilePath SelectedPath() const;

signals:
    // The typed text of each key press, before the list's own handling
    // (type-ahead) sees the same key.
    void KeyTyped(const QString& text);
    void RightPressed(const QPoint& globalPos);
    void MouseMoved();
    // A double-click anywhere in the list, after the list has selected the
    // entry under the pointer.
    void DoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    FilePath path_;
    QString patternText_;
    PatternList pattern_;
};

// The sorted names of `folder`'s files that match `pattern`, without hidden
// ones; nullopt when the folder cannot be listed.
std::optional<QList<FilePath>> ListMatchingFiles(const FilePath& folder, const PatternList& pattern);

}  // namespace corvan
