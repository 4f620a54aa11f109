#pragma once

#include "engine/file_path.h"

#include <QIcon>
#include <QList>
#include <QListWidget>

#include <optional>

namespace corvan {

// `Dir1`: the current folder's ancestors from the root down, then its
// subfolders (hidden ones left out). A double-click or Enter opens a folder.
// Path() has no trailing "/" except at the root.
class DirListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirListBox(QWidget* parent = nullptr);

    FilePath Path() const { return path_; }
    // Enters `folder`; false (and nothing changed) when it cannot be entered.
    bool SetPath(const FilePath& folder);
    // Shows `folder` (an absolute, clean path) with the subfolders it was
    // read to have (ListSubfolders), as SetPath would.
    void Show(const FilePath& folder, const QList<FilePath>& subfolders);

signals:
    void PathChanged(const FilePath& path);
    void RightPressed(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void openItem(QListWidgetItem* item);

    FilePath path_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

// The names of `folder`'s subfolders, hidden ones left out, sorted without
// regard to case; nullopt when the folder cannot be listed.
std::optional<QList<FilePath>> ListSubfolders(const FilePath& folder);

}  // namespace corvan
