#include "browser/dir_list_box.h"

#include "browser/folder_entries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
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

// A small folder, drawn here: the style's own icons are pictures that
// take longer to load than the rest of the list together, and the list is
// drawn in the window's first frame. An open folder shows its front flap
// tilted back.
QIcon FolderIcon(bool open)
{
    constexpr int kSize = 16;
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor edge(150, 110, 30);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(225, 180, 70));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(8.0, 5.0);
    back.lineTo(14.5, 5.0);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 215, 110));
    if (open)
        p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
    else
        p.drawRect(QRectF(1.5, 6.5, 13.0, 7.0));
    return QIcon(picture);
}

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
    , openIcon_(FolderIcon(true))
    , closedIcon_(FolderIcon(false))
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
    const auto subfolders = ListSubfolders(target);
    if (!subfolders)
        return false;
    Show(target, *subfolders);
    return true;
}

void DirListBox::Show(const QString& folder, const QStringList& subfolders)
{
    clear();
    QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString acc;
    int depth = 0;
    auto add = [&](const QString& label, const QString& full, const QIcon& icon, int level) {
        auto* item = new QListWidgetItem(icon, label, this);
        item->setData(kPathRole, full);
        item->setData(kLevelRole, level);
    };
    add(QStringLiteral("/"), QStringLiteral("/"), openIcon_, depth++);
    for (const QString& part : parts) {
        acc += QLatin1Char('/') + part;
        add(part, acc, openIcon_, depth++);
    }
    setCurrentRow(count() - 1);
    for (const QString& sub : subfolders)
        add(sub, folder == QLatin1String("/") ? QLatin1Char('/') + sub : folder + QLatin1Char('/') + sub,
            closedIcon_, depth);

    const bool changed = folder != path_;
    path_ = folder;
    if (changed)
        emit PathChanged(path_);
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
