#pragma once

#include "shaping/twips.h"
#include "shell/form2_controls.h"

#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <span>
#include <variant>

namespace corvan {

// Colours as the design writes them: 0x00BBGGRR, or 0x800000nn for the
// desktop's colour number nn.
using DesignColour = std::uint32_t;
constexpr DesignColour kNoColour = 0xFFFFFFFF;
constexpr DesignColour kDarkGrey = 0x00404040;
constexpr DesignColour kWhite = 0x00FFFFFF;
constexpr DesignColour kBlack = 0x00000000;
constexpr DesignColour kWindowBackground = 0x80000005;
constexpr DesignColour kHighlight = 0x8000000D;
constexpr DesignColour kInactiveCaptionText = 0x80000013;
QColor ToQColor(DesignColour c);

enum Look : unsigned {
    kPlain = 0,
    kDark = 1u << 0,         // background dark grey, white text
    kHidden = 1u << 1,       // starts hidden
    kTransparent = 1u << 2,  // the skin shows through
    kTicked = 1u << 3,       // check box starts ticked
};

enum class DesignFont { Sans825, SansBold12, SerifBoldItalic975 };

template <class W>
using Slot = W* Form2Controls::*;
using ControlSlot =
    std::variant<Slot<ClickLabel>, Slot<QCheckBox>, Slot<QRadioButton>, Slot<PictureButton>, Slot<QPushButton>,
                 Slot<TextBox>, Slot<QListWidget>, Slot<FileListBox>, Slot<DirListBox>, Slot<DriveListBox>,
                 Slot<QComboBox>, Slot<QSlider>, Slot<UpDown>, Slot<SeekBar>>;

struct ControlDesign {
    ControlSlot slot;
    QStringView name;
    QStringView text;
    QStringView tooltip;
    TwipsRect place;
    unsigned look = kPlain;
    DesignColour back = kNoColour;
    DesignColour fore = kNoColour;
    DesignFont font = DesignFont::Sans825;
};

std::span<const ControlDesign> Form2Design();

// The names of the controls that show a picture, in the table's order.
QStringList PictureButtonNames();

// The popup menu: rows in order; a row is a submenu, an item or a separator,
// placed in `parent` (nullptr: the popup menu itself).
using MenuSlot = std::variant<QMenu * Form2Menu::*, QAction * Form2Menu::*>;
enum class MenuRow { Submenu, Item, CheckItem, Separator };
struct MenuDesign {
    QMenu* Form2Menu::*parent;
    MenuRow kind;
    MenuSlot slot;
    QStringView name;
    QStringView caption;
};

std::span<const MenuDesign> Form2MenuDesign();

// The window itself.
constexpr QStringView kForm2Caption = u"Corvan Media Player";
constexpr DesignColour kForm2Background = 0x00808080;
constexpr TwipsRect kForm2Client = {8310, 285, 6585, 7230};

}  // namespace corvan
