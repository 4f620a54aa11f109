#pragma once

#include "browser/pattern.h"

#include <QListWidget>

#include <optional>

namespace corvan {

// `File1`: the names of one folder's files that match the pattern list,
// sorted without regard to case, names beginning with "." left out. It is
// the play queue: the selected entry is the current track.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    static QString MediaPattern() { return QStringLiteral("*.mp3;*.wav;*.wmv;*.mid;*.wma"); }

    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Lists `folder` and clears the selection; false (and nothing changed)
    // when the folder cannot be listed.
    bool SetPath(const QString& folder);
    // Shows `folder` with the entries it was read to have (ListMatchingFiles
    // with this list's pattern), as SetPath would.
    void Show(const QString& folder, const QStringList& names);
    void Refresh();

    QString Pattern() const { return patternText_; }
    void SetPattern(const QString& patterns);

    int ListCount() const { return count(); }
    int ListIndex() const;
    // -1 clears the selection; anything outside -1..ListCount()-1 is refused
    // and the selection stays as it was.
    bool SetListIndex(int index);
    QString Entry(int index) const;
    QString SelectedName() const;
    // The folder, "/" and the selected name: the path a start hands the
    // engine. At the root this gives "//name"; with nothing selected, the
    // folder followed by "/".
    QString SelectedPath() const;

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
    QString path_;
    QString patternText_;
    PatternList pattern_;
};

// Joins a folder and a name with "/", as every start does ("/" + "a" is "//a").
QString JoinPath(const QString& folder, const QString& name);

// The sorted names of `folder`'s files that match `pattern`, without hidden
// ones; nullopt when the folder cannot be listed.
std::optional<QStringList> ListMatchingFiles(const QString& folder, const PatternList& pattern);

}  // namespace corvan
