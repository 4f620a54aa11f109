#include "browser/dir_list_box.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>

namespace corvan {

namespace {
constexpr int kPathRole = Qt::UserRole;
}

QString NormalFolderPath(const QString& folder)
{
    QString p = QDir::cleanPath(QDir(folder).absolutePath());
    return p.isEmpty() ? QStringLiteral("/") : p;
}

DirListBox::DirListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::openItem);
}

bool DirListBox::SetPath(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString target = NormalFolderPath(folder);
    const QFileInfo info(target);
    if (!info.isDir() || !info.isExecutable())
        return false;

    QStringList subfolders;
    QDirIterator it(target, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (!it.fileName().startsWith(QLatin1Char('.')))
            subfolders << it.fileName();
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QStringList parts = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString acc;
    int depth = 0;
    auto add = [&](const QString& label, const QString& full, const QIcon& icon, int level) {
        auto* item = new QListWidgetItem(icon, QString(level * 2, QLatin1Char(' ')) + label, this);
        item->setData(kPathRole, full);
    };
    add(QStringLiteral("/"), QStringLiteral("/"), openIcon, depth++);
    for (const QString& part : parts) {
        acc += QLatin1Char('/') + part;
        add(part, acc, openIcon, depth++);
    }
    setCurrentRow(count() - 1);
    for (const QString& sub : subfolders)
        add(sub, target == QLatin1String("/") ? QLatin1Char('/') + sub : target + QLatin1Char('/') + sub,
            closedIcon, depth);

    const bool changed = target != path_;
    path_ = target;
    if (changed)
        emit PathChanged(path_);
    return true;
}

void DirListBox::openItem(QListWidgetItem* item)
{
    if (item)
        SetPath(item->data(kPathRole).toString());
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton) {
        emit RightPressed(event->globalPosition().toPoint());
        return;
    }
    QListWidget::mousePressEvent(event);
}

}  // namespace corvan
