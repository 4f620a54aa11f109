#pragma once

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

    QString Path() const { return path_; }
    // Enters `folder`; false (and nothing changed) when it cannot be entered.
    bool SetPath(const QString& folder);
    // Shows `folder` (a NormalFolderPath) with the subfolders it was read to
    // have (ListSubfolders), as SetPath would.
    void Show(const QString& folder, const QStringList& subfolders);

signals:
    void PathChanged(const QString& path);
    void RightPressed(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void openItem(QListWidgetItem* item);

    QString path_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

// "/a/b/" and "/a/b" give "/a/b"; "/" stays "/"; relative paths are made absolute.
QString NormalFolderPath(const QString& folder);

// The names of `folder`'s subfolders, hidden ones left out, sorted without
// regard to case; nullopt when the folder cannot be listed.
std::optional<QStringList> ListSubfolders(const QString& folder);

}  // namespace corvan
