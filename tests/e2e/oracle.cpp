// What the end-to-end suite expects to see: a main window built from the
// same design tables and dressed in the same skin, shown on the same X
// display as the player under test, so its fonts, metrics and pixels are the
// ones the player draws. The suite asks it, one JSON object a line on
// standard input, where the controls, list rows and menu items lie and how a
// control looks with a given text; each answer is one JSON line on standard
// output. It plays nothing: its engine is the test double.
#include "fake_media_engine.h"
#include "shell/form2.h"
#include "shell/skin.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QWindow>

#include <iostream>
#include <string>

namespace {

using corvan::Form2;

QJsonArray Rect(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

// A control's place in the window's own coordinates.
QRect PlaceInForm(QWidget* w, Form2& form)
{
    return QRect(w->mapTo(&form, QPoint(0, 0)), w->size());
}

QJsonObject Layout(Form2& form)
{
    QJsonObject controls;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->parentWidget() != &form)
            continue;
        QJsonArray place = Rect(PlaceInForm(w, form));
        place.append(w->isVisibleTo(&form));
        controls.insert(w->objectName(), place);
    }
    return {{QStringLiteral("size"), QJsonArray{form.width(), form.height()}}, {QStringLiteral("controls"), controls}};
}

// The rows of a list, in window coordinates: where a person double-clicks
// the n-th entry. Rows beyond the visible part are left out.
QJsonObject Rows(Form2& form, const QJsonObject& request)
{
    const QString name = request.value(QStringLiteral("list")).toString();
    auto* list = form.findChild<QListWidget*>(name);
    if (!list)
        return {{QStringLiteral("error"), QStringLiteral("no list ") + name}};
    if (request.contains(QStringLiteral("folder"))) {
        auto* files = qobject_cast<corvan::FileListBox*>(list);
        if (!files || !files->SetPath(corvan::FilePath::FromText(request.value(QStringLiteral("folder")).toString())))
            return {{QStringLiteral("error"), QStringLiteral("cannot list the folder")}};
    }
    if (request.contains(QStringLiteral("items"))) {
        list->clear();
        for (const QJsonValue& v : request.value(QStringLiteral("items")).toArray())
            list->addItem(v.toString());
    }
    if (request.contains(QStringLiteral("place"))) {
        const QJsonArray p = request.value(QStringLiteral("place")).toArray();
        list->setGeometry(p.at(0).toInt(), p.at(1).toInt(), p.at(2).toInt(), p.at(3).toInt());
    }
    list->ensurePolished();
    list->show();
    list->doItemsLayout();
    QJsonArray rows;
    QJsonArray names;
    const QRect viewport = PlaceInForm(list->viewport(), form);
    for (int i = 0; i < list->count(); ++i) {
        const QRect r = list->visualItemRect(list->item(i));
        if (r.isEmpty() || r.bottom() >= list->viewport()->height())
            break;
        rows.append(Rect(r.translated(viewport.topLeft())));
        names.append(list->item(i)->text());
    }
    return {{QStringLiteral("rows"), rows}, {QStringLiteral("names"), names}};
}

// Every menu of the popup tree: its size when it pops up, and where each of
// its items lies inside it.
QJsonObject Menus(Form2& form)
{
    QJsonObject menus;
    for (QMenu* menu : form.findChildren<QMenu*>()) {
        menu->ensurePolished();
        QJsonObject items;
        for (QAction* action : menu->actions()) {
            const QString name = action->objectName();
            if (!name.isEmpty() && !action->isSeparator())
                items.insert(name, Rect(menu->actionGeometry(action)));
        }
        const QSize size = menu->sizeHint();
        menus.insert(menu->objectName(), QJsonObject{{QStringLiteral("size"), QJsonArray{size.width(), size.height()}},
                                                     {QStringLiteral("items"), items}});
    }
    return {{QStringLiteral("menus"), menus}};
}

void SetText(QWidget* w, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
}

bool WritePpm(const QImage& image, const QString& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("P6\n%1 %2\n255\n").arg(rgb.width()).arg(rgb.height()).toLatin1());
    for (int y = 0; y < rgb.height(); ++y)
        file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return file.error() == QFile::NoError;
}

// The whole window as it looks with the given texts, visibility and checks;
// the suite crops the controls it compares.
QJsonObject Render(Form2& form, const QJsonObject& request)
{
    const QJsonObject texts = request.value(QStringLiteral("set")).toObject();
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        QWidget* w = form.findChild<QWidget*>(it.key());
        if (!w)
            return {{QStringLiteral("error"), QStringLiteral("no control ") + it.key()}};
        SetText(w, it.value().toString());
    }
    const QJsonObject checks = request.value(QStringLiteral("check")).toObject();
    for (auto it = checks.begin(); it != checks.end(); ++it) {
        if (auto* button = form.findChild<QAbstractButton*>(it.key()))
            button->setChecked(it.value().toBool());
    }
    for (const QJsonValue& v : request.value(QStringLiteral("show")).toArray()) {
        if (QWidget* w = form.findChild<QWidget*>(v.toString()))
            w->show();
    }
    for (const QJsonValue& v : request.value(QStringLiteral("hide")).toArray()) {
        if (QWidget* w = form.findChild<QWidget*>(v.toString()))
            w->hide();
    }
    form.repaint();
    const QString out = request.value(QStringLiteral("out")).toString();
    if (!WritePpm(form.screen()->grabWindow(form.winId()).toImage(), out))
        return {{QStringLiteral("error"), QStringLiteral("cannot write ") + out}};
    return {{QStringLiteral("out"), out}};
}

// The skin picture as decoded, and the colour that is cut away.
QJsonObject Skin(const QJsonObject& request)
{
    const std::optional<QString> path = corvan::FindSkinPicture();
    if (!path)
        return {{QStringLiteral("error"), QStringLiteral("no skin picture")}};
    const QImage picture(*path);
    if (picture.isNull())
        return {{QStringLiteral("error"), QStringLiteral("unreadable skin picture")}};
    const QString out = request.value(QStringLiteral("out")).toString();
    if (!WritePpm(picture, out))
        return {{QStringLiteral("error"), QStringLiteral("cannot write ") + out}};
    const QColor key = picture.pixelColor(0, picture.height() - 1);
    return {{QStringLiteral("out"), out}, {QStringLiteral("key"), QJsonArray{key.red(), key.green(), key.blue()}}};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    corvan::test::FakeMediaEngine engine;
    Form2 form(engine, corvan::Desktop{});
    QString error;
    if (!corvan::DressInSkin(form, &error)) {
        std::cerr << error.toStdString() << '\n';
        return 1;
    }
    form.Load();
    form.Timer1().stop();
    form.Timer2().stop();
    // Shown on the display for real, out of the player's way (the bottom-left
    // corner), and read back from the X server like the player's own window,
    // so that both come the same way from widget to screen. No window manager
    // handles it, and it takes no focus and no input.
    form.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
                        | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    form.setWindowTitle(QStringLiteral("corvan e2e oracle"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form.move(screen.left(), screen.bottom() + 1 - form.height());
    form.show();
    // Pictures of the window are read back from the X server, so it must be
    // mapped and exposed first.
    QElapsedTimer waited;
    waited.start();
    while (!(form.windowHandle() && form.windowHandle()->isExposed()) && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!form.windowHandle() || !form.windowHandle()->isExposed()) {
        std::cerr << "the oracle's window was never exposed\n";
        return 1;
    }

    std::string line;
    while (std::getline(std::cin, line)) {
        const QJsonObject request = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QString cmd = request.value(QStringLiteral("cmd")).toString();
        QJsonObject answer;
        if (cmd == u"layout")
            answer = Layout(form);
        else if (cmd == u"rows")
            answer = Rows(form, request);
        else if (cmd == u"menus")
            answer = Menus(form);
        else if (cmd == u"render")
            answer = Render(form, request);
        else if (cmd == u"skin")
            answer = Skin(request);
        else
            answer = {{QStringLiteral("error"), QStringLiteral("unknown command ") + cmd}};
        std::cout << QJsonDocument(answer).toJson(QJsonDocument::Compact).toStdString() << std::endl;
    }
    return 0;
}
