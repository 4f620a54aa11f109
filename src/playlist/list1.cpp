#include "playlist/list1.h"

#include "playlist/playlist_file.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace corvan {

namespace {

// More than any path holds, far less than what freezes the text shaper.
constexpr qsizetype kDrawnCharacters = 4096;

// The bytes of an entry whose text does not give them back.
constexpr int kBytesRole = Qt::UserRole + 7;

class LineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.size() > kDrawnCharacters)
            option->text.truncate(kDrawnCharacters);
    }
};

}  // namespace

QList<FilePath> Entries(const QListWidget& list)
{
    QList<FilePath> entries;
    entries.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        entries.append(EntryOf(list.item(i)));
    return entries;
}

FilePath EntryOf(const QListWidgetItem* item)
{
    if (!item)
        return {};
    const QVariant bytes = item->data(kBytesRole);
    return bytes.isValid() ? FilePath::FromBytes(bytes.toByteArray()) : FilePath::FromText(item->text());
}

void ReplaceEntries(QListWidget& list, const QList<FilePath>& entries)
{
    list.clear();
    QStringList texts;
    texts.reserve(entries.size());
    for (const FilePath& entry : entries)
        texts.append(entry.Text());
    // All at once, the few whose text is not the whole story after.
    list.addItems(texts);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries[i].TextIsExact())
            list.item(static_cast<int>(i))->setData(kBytesRole, entries[i].Bytes());
    }
}

void PrepareListBox(QListWidget& list)
{
    list.setUniformItemSizes(true);
    list.setItemDelegate(new LineDelegate(&list));
}

bool SaveList(const QListWidget& list, const FilePath& file, QString* reason)
{
    return SaveList(Entries(list), file, reason);
}

bool LoadList(QListWidget& list, const FilePath& file, QString* reason)
{
    list.clear();
    QList<FilePath> entries;
    const bool ok = LoadList(entries, file, reason);
    ReplaceEntries(list, entries);
    return ok;
}

ListEvents::ListEvents(QListWidget* list)
    : QObject(list)
    , list_(list)
    , viewport_(list->viewport())
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

bool ListEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        emit KeyTyped(static_cast<QKeyEvent*>(event)->text());
        return false;
    }
    if (watched != viewport_)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::RightButton) {
            emit RightPressed(mouse->globalPosition().toPoint());
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            emit DoubleClicked();
    }
    return false;
}

}  // namespace corvan
