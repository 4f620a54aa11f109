#include "shell/faces_ahead.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace corvan {

namespace {

// More rows than a list of the window shows at once.
constexpr int kListRows = 40;

// The texts `w` draws itself.
QStringList TextsOf(const QWidget& w)
{
    if (const auto* label = qobject_cast<const QLabel*>(&w))
        return {label->text()};
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w))
        return {button->text()};
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w))
        return {edit->text().isEmpty() ? edit->placeholderText() : edit->text()};
    if (const auto* combo = qobject_cast<const QComboBox*>(&w))
        return combo->isEditable() ? QStringList() : QStringList{combo->currentText()};
    if (const auto* view = qobject_cast<const QAbstractItemView*>(&w)) {
        QStringList rows;
        const QAbstractItemModel* model = view->model();
        if (!model)
            return rows;
        const auto* list = qobject_cast<const QListView*>(view);
        const int column = list ? list->modelColumn() : 0;
        const int count = std::min(model->rowCount(view->rootIndex()), kListRows);
        for (int row = 0; row < count; ++row)
            rows << model->index(row, column, view->rootIndex()).data(Qt::DisplayRole).toString();
        return rows;
    }
    return {};
}

}  // namespace

void LoadFacesAhead(const QWidget& window)
{
    // Drawn at the window's density, so that the glyphs are the ones its
    // paint asks for.
    QPixmap scratch(16, 16);
    scratch.setDevicePixelRatio(window.devicePixelRatioF());
    QPainter painter(&scratch);
    const QRect inside = window.rect();
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(&window)
            || !inside.intersects(QRect(w->mapTo(&window, QPoint()), w->size())))
            continue;
        painter.setFont(w->font());
        for (const QString& text : TextsOf(*w)) {
            if (!text.isEmpty())
                painter.drawText(QPointF(0, 12), text);
        }
    }
}

}  // namespace corvan
