#include "shell/form2.h"

#include "engine/media_engine.h"
#include "shell/form2_design.h"
#include "shell/skin.h"
#include "shell/wiring.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QDir>

#include <algorithm>
#include <type_traits>

namespace corvan {

namespace {

template <class W>
W* Create(Form2& form, MediaEngine& engine)
{
    if constexpr (std::is_same_v<W, SeekBar>)
        return new SeekBar(engine, &form);
    else
        return new W(&form);
}

// The captions were laid out for a narrow sans-serif face; Liberation Sans
// keeps those metrics, so "Turn off" still fits its box. fontconfig falls
// back to any sans-serif face where it is missing.
QFont SansFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont DesignQFont(DesignFont f)
{
    QFont font;
    switch (f) {
    case DesignFont::Sans825:
        font = SansFont();
        font.setPointSizeF(8.25);
        break;
    case DesignFont::SansBold12:
        font = SansFont();
        font.setPointSizeF(12);
        font.setBold(true);
        break;
    case DesignFont::SerifBoldItalic975:
        font = QFont(QStringLiteral("Liberation Serif"));
        font.setStyleHint(QFont::Serif);
        font.setPointSizeF(9.75);
        font.setBold(true);
        font.setItalic(true);
        break;
    }
    return font;
}

void ApplyText(QWidget* w, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable())
            combo->setEditText(text);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (!text.isEmpty())
            list->addItem(text);
    }
}

void ApplyColours(QWidget* w, const ControlDesign& d)
{
    DesignColour back = d.back;
    DesignColour fore = d.fore;
    if (d.look & kDark) {
        if (back == kNoColour)
            back = kDarkGrey;
        if (fore == kNoColour)
            fore = kWhite;
    }
    QPalette pal = w->palette();
    if (back != kNoColour) {
        const QColor b = ToQColor(back);
        pal.setColor(QPalette::Window, b);
        pal.setColor(QPalette::Base, b);
        pal.setColor(QPalette::Button, b);
        if (!(d.look & kTransparent))
            w->setAutoFillBackground(true);
    }
    if (fore != kNoColour) {
        const QColor f = ToQColor(fore);
        pal.setColor(QPalette::WindowText, f);
        pal.setColor(QPalette::Text, f);
        pal.setColor(QPalette::ButtonText, f);
    }
    w->setPalette(pal);
}

// A picture button shows its small picture, which is itself drawn as a
// raised button face; a missing picture leaves a plain flat button.
void ShowPicture(PictureButton& button, const ButtonPictureFiles& pictures)
{
    button.setFlat(true);
    const auto read = pictures.constFind(button.objectName());
    if (auto picture = read != pictures.cend() ? ButtonIcon(*read) : LoadButtonIcon(button.objectName())) {
        button.setIcon(picture->icon);
        button.setIconSize(picture->size);
    }
}

}  // namespace

Form2::Form2(MediaEngine& engine, Desktop desktop, QWidget* parent)
    : Form2(engine, std::move(desktop), ReadFolderView(FilePath::FromBytes(".")), {}, parent)
{
}

Form2::Form2(MediaEngine& engine, Desktop desktop, const FolderView& start, const ButtonPictureFiles& pictures,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , engine_(&engine)
    , desktop_(std::move(desktop))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(kForm2Caption.toString());
    const QRect client = ToPixels(kForm2Client);
    setFixedSize(client.size());
    move(client.topLeft());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(kForm2Background));
    setPalette(pal);
    setAutoFillBackground(true);
    setAcceptDrops(true);
    if (desktop_.maskIsInputOnly) {
        // The mask would only stop clicks: what it cuts away must also be
        // painted see-through, by the skin (shell/skin.cpp). Both are in force
        // before the native window is made, at show().
        setAttribute(Qt::WA_TranslucentBackground);
        setAutoFillBackground(false);
    }

    // The controls take the form's face unless their design names another:
    // set once here, it reaches them as they are made, where setting it on
    // each would have every line edit lay itself out again and every combo
    // box build its popup list.
    setFont(DesignQFont(DesignFont::Sans825));
    buildControls(start, pictures);
    buildMenu();

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(500);
    // Its beat and what it runs are the speed's (shell/wire_audio.cpp).
    timer2_.setObjectName(QStringLiteral("Timer2"));

    WireSubsystems(*this);
}

Form2::~Form2() = default;

void Form2::buildControls(const FolderView& start, const ButtonPictureFiles& pictures)
{
    for (const ControlDesign& d : Form2Design()) {
        QWidget* w = std::visit(
            [&](auto slot) -> QWidget* {
                using W = std::remove_pointer_t<std::remove_reference_t<decltype(c_.*slot)>>;
                W* widget = Create<W>(*this, *engine_);
                c_.*slot = widget;
                return widget;
            },
            d.slot);
        w->setObjectName(d.name.toString());
        w->setGeometry(ToPixels(d.place));
        if (d.font != DesignFont::Sans825)
            w->setFont(DesignQFont(d.font));
        if (!d.tooltip.isEmpty())
            w->setToolTip(d.tooltip.toString());
        ApplyColours(w, d);
        // A typed pattern is only text: Enter does not add it to the
        // list, which holds the five start-up entries alone.
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && w != c_.Drive1) {
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
        }
        ApplyText(w, d.text.toString());
        if (d.look & kTicked) {
            if (auto* box = qobject_cast<QCheckBox*>(w))
                box->setChecked(true);
        }
        if (d.look & kHidden)
            w->hide();
        if (auto* button = qobject_cast<PictureButton*>(w))
            ShowPicture(*button, pictures);
    }

    c_.Check1->setTristate(false);
    c_.Slider1->setOrientation(Qt::Horizontal);
    c_.Slider1->setRange(0, 10);
    c_.Slider1->setSingleStep(1);
    c_.Slider1->setPageStep(1);
    c_.Slider1->setValue(0);
    c_.UpDown1->SetRange(0, 10);
    c_.UpDown1->SetValue(0);
    c_.List1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (QLabel* label : {static_cast<QLabel*>(c_.Label15), static_cast<QLabel*>(c_.Total),
                          static_cast<QLabel*>(c_.Playing), static_cast<QLabel*>(c_.Label1)})
        label->setTextFormat(Qt::PlainText);
    c_.Label11->setAlignment(Qt::AlignCenter);

    // The lists start at their start folder, nothing selected.
    if (start.subfolders)
        c_.Dir1->Show(start.folder, *start.subfolders);
    if (start.files)
        c_.File1->Show(start.folder, *start.files);
    c_.Drive1->Fill(start.drives);
    c_.Drive1->ShowDrive(start.mountPoint);
}

void Form2::buildMenu()
{
    m_.mnupopup = new QMenu(this);
    m_.mnupopup->setObjectName(QStringLiteral("mnupopup"));
    m_.mnupopup->setTitle(QStringLiteral("mnupopup"));
    for (const MenuDesign& row : Form2MenuDesign()) {
        QMenu* parent = row.parent ? m_.*(row.parent) : m_.mnupopup;
        if (row.kind == MenuRow::Submenu) {
            QMenu* sub = parent->addMenu(row.caption.toString());
            sub->setObjectName(row.name.toString());
            sub->menuAction()->setObjectName(row.name.toString());
            m_.*std::get<QMenu * Form2Menu::*>(row.slot) = sub;
            continue;
        }
        QAction* action = row.kind == MenuRow::Separator ? parent->addSeparator()
                                                         : parent->addAction(row.caption.toString());
        action->setObjectName(row.name.toString());
        if (row.kind == MenuRow::CheckItem) {
            // A check mark here is only ever set by the item's command, so the
            // toggle Qt makes on every trigger is undone before any handler runs.
            action->setCheckable(true);
            connect(action, &QAction::triggered, action, [action](bool checked) { action->setChecked(!checked); });
        }
        m_.*std::get<QAction * Form2Menu::*>(row.slot) = action;
    }
}

void Form2::Load()
{
    engine_->SetVolume(-2500);
    c_.Combo1->addItems({QStringLiteral("*.WMA"), QStringLiteral("*.MID"), QStringLiteral("*.WMV"),
                         QStringLiteral("*.MP3"), QStringLiteral("*.WAV")});
    c_.Combo1->setEditText(QStringLiteral("*.MP3"));
    c_.Option2->setChecked(true);
    timer1_.start();
    timer2_.start();
}

void Form2::PopupMenu(const QPoint& globalPos)
{
    m_.mnupopup->popup(globalPos);
}

void Form2::mousePressEvent(QMouseEvent* event)
{
    // Controls that ignore a press (a plain label, the blank part of a check
    // box) pass it up to here: only a press with no control under the pointer
    // is one on the picture itself.
    if (!childAt(event->position().toPoint()))
        emit SurfacePressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void Form2::dragEnterEvent(QDragEnterEvent* event)
{
    // Local files and folders only; what they are is looked at on the drop.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
        event->acceptProposedAction();
}

void Form2::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    emit Dropped(event->mimeData()->urls());
}

void Form2::closeEvent(QCloseEvent* event)
{
    if (!unloaded_) {
        unloaded_ = true;
        timer1_.stop();
        timer2_.stop();
        emit Unloading();
    }
    event->accept();
}

}  // namespace corvan
