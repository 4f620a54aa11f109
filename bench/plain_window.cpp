// A reference of the start-up benchmark: a plain window on the same toolkit
// holding the kinds of widgets the player shows, about sixty with their
// texts, a folder tree, a 30-row list and a 44-row popup menu, all built
// before it is shown; no skin, no sound. What the toolkit's own work costs
// when it is done in the plain way, one thing after another.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <QWidget>

namespace {

class PlainWindow : public QWidget {
public:
    PlainWindow()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    {
        setFixedSize(439, 482);
        int y = 4;
        for (int i = 0; i < 20; ++i) {
            auto* label = new QLabel(QStringLiteral("Label %1").arg(i), this);
            label->setGeometry(4 + (i % 4) * 105, y + (i / 4) * 18, 100, 16);
        }
        y += 100;
        for (int i = 0; i < 16; ++i) {
            auto* button = new QPushButton(QStringLiteral("Button %1").arg(i), this);
            button->setGeometry(4 + (i % 8) * 54, y + (i / 8) * 26, 52, 24);
        }
        y += 56;
        for (int i = 0; i < 5; ++i)
            (new QCheckBox(QStringLiteral("Option %1").arg(i), this))->setGeometry(4 + i * 86, y, 84, 18);
        y += 20;
        for (int i = 0; i < 3; ++i)
            (new QRadioButton(QStringLiteral("R%1").arg(i), this))->setGeometry(4 + i * 50, y, 48, 18);
        (new QSlider(Qt::Horizontal, this))->setGeometry(160, y, 120, 18);
        y += 22;
        (new QLineEdit(QStringLiteral("Search"), this))->setGeometry(4, y, 200, 22);
        auto* combo = new QComboBox(this);
        combo->addItems({QStringLiteral("/"), QStringLiteral("/home"), QStringLiteral("/media")});
        combo->setGeometry(210, y, 100, 22);
        auto* edit = new QComboBox(this);
        edit->setEditable(true);
        edit->addItems({QStringLiteral("*.MP3"), QStringLiteral("*.WAV")});
        edit->setGeometry(316, y, 100, 22);
        y += 26;

        auto* tree = new QTreeWidget(this);
        tree->setHeaderHidden(true);
        tree->setGeometry(4, y, 200, 476 - y);
        QTreeWidgetItem* parent = nullptr;
        const QString here = QDir::currentPath();
        for (const QString& part : here.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            auto* item = parent ? new QTreeWidgetItem(parent, {part}) : new QTreeWidgetItem(tree, {part});
            item->setExpanded(true);
            parent = item;
        }
        for (const QString& sub : QDir(here).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            parent ? new QTreeWidgetItem(parent, {sub}) : new QTreeWidgetItem(tree, {sub});

        auto* list = new QListWidget(this);
        list->setGeometry(210, y, 225, 476 - y);
        for (int i = 0; i < 30; ++i)
            list->addItem(QStringLiteral("Track %1.mp3").arg(i + 1, 2, 10, QLatin1Char('0')));

        menu_ = new QMenu(this);
        int rows = 0;
        for (int m = 0; rows < 44; ++m) {
            QMenu* sub = menu_->addMenu(QStringLiteral("Menu %1").arg(m));
            ++rows;
            for (int i = 0; i < 6 && rows < 44; ++i, ++rows)
                sub->addAction(QStringLiteral("Item %1").arg(rows))->setCheckable(i % 2 == 0);
        }
    }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override { menu_->popup(event->globalPos()); }

private:
    QMenu* menu_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PlainWindow window;
    window.show();
    return app.exec();
}
