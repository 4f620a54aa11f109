#include "playlist/list1.h"

#include "playlist/playlist_file.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace corvan {

namespace {

// More than any path holds, far less than what freezes the text shaper.
constexpr qsizetype kDrawnCharacters = 4096;

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

QStringList Lines(const QListWidget& list)
{
    QStringList lines;
    lines.reserve(list.count());
    for (int i = 0; i < list.count(); ++i)
        lines.append(list.item(i)->text());
    return lines;
}

void ReplaceLines(QListWidget& list, const QStringList& lines)
{
    list.clear();
    list.addItems(lines);
}

void PrepareListBox(QListWidget& list)
{
    list.setUniformItemSizes(true);
    list.setItemDelegate(new LineDelegate(&list));
}

bool SaveList(const QListWidget& list, const QString& fileName)
{
    return SaveList(Lines(list), fileName);
}

bool LoadList(QListWidget& list, const QString& fileName)
{
    list.clear();
    QStringList lines;
    const bool ok = LoadList(lines, fileName);
    list.addItems(lines);
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
