#include "browser/dir_list_box.h"

#include "browser/folder_entries.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

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

std::optional<QList<FilePath>> ListSubfolders(const FilePath& folder)
{
    QList<FilePath> names;
    const bool listed = ForEachVisibleEntry(folder, [&names](const char* raw, EntryKind kind) {
        if (kind == EntryKind::Folder)
            names << FilePath::FromBytes(QByteArray(raw));
    });
    if (!listed)
        return std::nullopt;
    std::sort(names.begin(), names.end(), [](const FilePath& a, const FilePath& b) {
        const QString textA = a.Text();
        const QString textB = b.Text();
        const int c = QString::compare(textA, textB, Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        return textA != textB ? textA < textB : a.Bytes() < b.Bytes();
    });
    return names;
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

bool DirListBox::SetPath(const FilePath& folder)
{
    if (folder.IsEmpty())
        return false;
    const FilePath target = folder.Absolute();
    struct stat st {};
    if (::stat(target.Bytes().constData(), &st) != 0 || !S_ISDIR(st.st_mode)
        || ::access(target.Bytes().constData(), X_OK) != 0)
        return false;
    const auto subfolders = ListSubfolders(target);
    if (!subfolders)
        return false;
    Show(target, *subfolders);
    return true;
}

void DirListBox::Show(const FilePath& folder, const QList<FilePath>& subfolders)
{
    clear();
    int depth = 0;
    auto add = [&](const FilePath& full, const QIcon& icon, int level) {
        const FilePath name = full.Name();
        auto* item = new QListWidgetItem(icon, name.IsEmpty() ? QStringLiteral("/") : name.Text(), this);
        item->setData(kPathRole, full.Bytes());
        item->setData(kLevelRole, level);
    };
    add(FilePath::FromBytes("/"), openIcon_, depth++);
    QByteArray acc;
    for (const QByteArray& part : folder.Bytes().split('/')) {
        if (part.isEmpty())
            continue;
        acc += '/' + part;
        add(FilePath::FromBytes(acc), openIcon_, depth++);
    }
    setCurrentRow(count() - 1);
    const bool atRoot = folder.Bytes() == "/";
    for (const FilePath& sub : subfolders)
        add(atRoot ? FilePath::FromBytes('/' + sub.Bytes()) : folder.Join(sub), closedIcon_, depth);

    const bool changed = folder != path_;
    path_ = folder;
    if (changed)
        emit PathChanged(path_);
}

void DirListBox::openItem(QListWidgetItem* item)
{
    if (item)
        SetPath(FilePath::FromBytes(item->data(kPathRole).toByteArray()));
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
