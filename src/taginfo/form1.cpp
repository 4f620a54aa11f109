#include "taginfo/form1.h"

#include "shaping/twips.h"

#include <QCloseEvent>

namespace corvan {

namespace {

QRect Twips(int left, int top, int width, int height)
{
    return ToPixels({left, top, width, height});
}

QFont SansFont(bool bold)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

// The light grey that the window, its frame and its button share.
const QColor kInactiveCaptionText(212, 208, 200);

void Paint(QWidget* w, const QColor& colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::Button, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

template <class W>
W* Place(W* w, const char* name, const QRect& place, bool bold = false)
{
    w->setObjectName(QLatin1String(name));
    w->setGeometry(place);
    w->setFont(SansFont(bold));
    return w;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Song Tag Information"));
    setFixedSize(Twips(0, 0, 3645, 2835).size());
    setFont(SansFont(false));
    Paint(this, kInactiveCaptionText);

    // The frame is taller than the window: its lower part is cut off.
    c_.Frame1 = Place(new QGroupBox(this), "Frame1", Twips(0, 0, 3615, 3975), true);
    c_.Label1 = Place(new QLabel(QStringLiteral("Corvan Media Player 4"), c_.Frame1), "Label1",
                      Twips(360, 120, 3135, 255), true);
    c_.Label2 = Place(new QLabel(QStringLiteral("Song Title"), c_.Frame1), "Label2", Twips(240, 480, 3015, 255));
    c_.Label3 = Place(new QLabel(QStringLiteral("Song Author"), c_.Frame1), "Label3", Twips(240, 1080, 2655, 255));
    c_.Label4 = Place(new QLabel(QStringLiteral("Song Path"), c_.Frame1), "Label4", Twips(240, 1680, 3015, 255));
    c_.Command1 = Place(new QPushButton(QStringLiteral("Unload"), c_.Frame1), "Command1", Twips(240, 2280, 1095, 375));
    // The boxes belong to the window, not the frame; made after it, they lie on top.
    c_.Text1 = Place(new QLineEdit(QStringLiteral("Not Found"), this), "Text1", Twips(240, 720, 3135, 310));
    c_.Text2 = Place(new QLineEdit(QStringLiteral("Not Found"), this), "Text2", Twips(240, 1320, 3135, 310));
    c_.Text3 = Place(new QLineEdit(QStringLiteral("Text1"), this), "Text3", Twips(240, 1920, 3135, 310));

    for (QLabel* label : {c_.Label1, c_.Label2, c_.Label3, c_.Label4})
        label->setTextFormat(Qt::PlainText);
    Paint(c_.Frame1, kInactiveCaptionText);
    Paint(c_.Command1, kInactiveCaptionText);

    setTabOrder(c_.Text1, c_.Text2);
    setTabOrder(c_.Text2, c_.Text3);
    setTabOrder(c_.Text3, c_.Command1);
    c_.Text1->setFocus();

    connect(c_.Command1, &QPushButton::clicked, this, &QWidget::close);
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit Unloaded();
}

}  // namespace corvan
