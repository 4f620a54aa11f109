#include "browser/dir_list_box.h"

#include "browser/folder_entries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace corvan {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndent = 10;  // pixels a level

// Draws each folder, icon and name, indented by its depth, so the list
// reads as the path from the root down with the subfolders under it.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + index.data(kLevelRole).toInt() * kIndent);
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {size.width() + index.data(kLevelRole).toInt() * kIndent, size.height()};
    }
};

}  // namespace

std::optional<QStringList> ListSubfolders(const QString& folder)
{
    QStringList names;
    const bool listed = ForEachVisibleEntry(folder, [&names](const char* raw, EntryKind kind) {
        if (kind == EntryKind::Folder)
            names << QFile::decodeName(raw);
    });
    if (!listed)
        return std::nullopt;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
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
    setItemDelegate(new IndentDelegate(this));
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

    const auto listed = ListSubfolders(target);
    if (!listed)
        return false;
    const QStringList& subfolders = *listed;

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QStringList parts = target.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString acc;
    int depth = 0;
    auto add = [&](const QString& label, const QString& full, const QIcon& icon, int level) {
        auto* item = new QListWidgetItem(icon, label, this);
        item->setData(kPathRole, full);
        item->setData(kLevelRole, level);
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
