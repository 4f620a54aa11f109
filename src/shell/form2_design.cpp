#include "shell/form2_design.h"

#include <QApplication>
#include <QPalette>

namespace corvan {

QColor ToQColor(DesignColour c)
{
    if (c & 0x80000000u) {
        switch (c & 0xFF) {
        case 5:
            return QApplication::palette().color(QPalette::Base);
        case 13:
            return QApplication::palette().color(QPalette::Highlight);
        case 19:
            return QColor(212, 208, 200);
        default:
            return QApplication::palette().color(QPalette::Window);
        }
    }
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

namespace {

using C = Form2Controls;
using M = Form2Menu;
using enum DesignFont;

constexpr unsigned kDarkHidden = kDark | kHidden;

// clang-format off
const ControlDesign kDesign[] = {
    // slot            name          text                       tooltip                                        place (twips)              look / colours / font
    // Top band: play options, balance, hot spots.
    {&C::Check1,       u"Check1",    u"Repeat",                 u"Repeat this Song",                            {370, 480, 855, 195},      kDark},
    {&C::Check3,       u"Check3",    u"Shufle",                 u"Shufle ",                                     {1200, 480, 855, 195},     kDark},
    {&C::Check2,       u"Check2",    u"Turn off",               u"Turn off Player After this Song",             {2040, 480, 855, 195},     kDark},
    {&C::Check4,       u"Check4",    u"Up",                     u"",                                            {3000, 480, 615, 195},     kDark},
    {&C::Option3,      u"Option3",   u"L",                      u"",                                            {3720, 480, 495, 195},     kDark, kDarkGrey, kWindowBackground},
    {&C::Option2,      u"Option2",   u"C",                      u"",                                            {4200, 480, 495, 195},     kDark, kDarkGrey, kWindowBackground},
    {&C::Option1,      u"Option1",   u"R",                      u"",                                            {4680, 480, 495, 195},     kDark, kDarkGrey, kWindowBackground},
    {&C::Image4,       u"Image4",    u"",                       u"",                                            {5040, 0, 375, 375},       kTransparent},
    {&C::Image3,       u"Image3",    u"",                       u"",                                            {5520, 0, 375, 375},       kTransparent},

    // Player and lists.
    {&C::MediaPlayer1, u"MediaPlayer1", u"",                    u"Seek Bar",                                    {375, 720, 5325, 615}},
    {&C::hide,         u"hide",      u"",                       u"",                                            {370, 915, 5355, 615},     kPlain, kDarkGrey},
    {&C::Drive1,       u"Drive1",    u"",                       u"",                                            {370, 960, 2175, 315},     kDark},
    {&C::Dir1,         u"Dir1",      u"",                       u"",                                            {370, 1350, 2175, 3915},   kDark},
    {&C::File1,        u"File1",     u"",                       u"",                                            {2560, 960, 3160, 4320},   kDark},
    {&C::List1,        u"List1",     u"Search For Media",       u"",                                            {2560, 960, 3165, 4320},   kDarkHidden},
    {&C::Text1,        u"Text1",     u"Search Song in Playlist", u"Type the Name of Song and then Press(Enter)", {370, 5400, 5295, 285},    kDark},
    {&C::Label15,      u"Label15",   u"Label15",                u"",                                            {375, 5760, 2535, 255},    kDark},
    {&C::Total,        u"Total",     u"Total",                  u"",                                            {3000, 5760, 735, 255},    kDark},
    {&C::Playing,      u"Playing",   u" Playing",               u"",                                            {3720, 5760, 1575, 255},   kPlain, kDarkGrey, kWindowBackground},
    {&C::Label1,       u"Label1",    u"Corvan Media Player",    u"",                                            {380, 6000, 5295, 255},    kDark},
    {&C::Label11,      u"Label11",   u"",                       u"Mute",                                        {6120, 6120, 255, 255},    kTransparent, kNoColour, 0x000000C0, SansBold12},
    {&C::Combo1,       u"Combo1",    u"*.MP3",                  u"",                                            {370, 6240, 1095, 315},    kDarkHidden},
    {&C::Command21,    u"Command21", u"",                       u"Find Media ",                                 {1450, 6240, 375, 310},    kHidden},
    {&C::Check5,       u"Check5",    u"Refresh each time",      u"",                                            {1920, 6360, 1695, 195},   kDarkHidden | kTicked},
    {&C::Label23,      u"Label23",   u"Volume",                 u"",                                            {6360, 6840, 1095, 255},   kTransparent, kNoColour, kNoColour, SerifBoldItalic975},
    {&C::UpDown1,      u"UpDown1",   u"",                       u"",                                            {0, 7080, 240, 255}},
    {&C::Text5,        u"Text5",     u"",                       u"",                                            {6840, 7080, 1335, 285}},

    // The button row.
    {&C::Command22,    u"Command22", u"",                       u"Seek Back 10 Sec",                            {945, 6840, 375, 315}},
    {&C::Command12,    u"Command12", u"",                       u"Previous Track",                              {1295, 6840, 375, 315}},
    {&C::Command13,    u"Command13", u"",                       u"Play Track",                                  {1650, 6840, 375, 315}},
    {&C::Command14,    u"Command14", u"",                       u"Pause Track",                                 {2010, 6840, 375, 315}},
    {&C::Command15,    u"Command15", u"",                       u"Stop Track",                                  {2370, 6840, 375, 315}},
    {&C::Command16,    u"Command16", u"",                       u"Open File",                                   {2730, 6840, 375, 315}},
    {&C::Command19,    u"Command19", u"",                       u"Volume Increase",                             {3105, 6840, 375, 315}},
    {&C::Command20,    u"Command20", u"",                       u"Volume Decrease",                             {3465, 6840, 375, 315}},
    {&C::Command11,    u"Command11", u"",                       u"Next Track",                                  {3855, 6840, 375, 315}},
    {&C::Command23,    u"Command23", u"",                       u"Seek Farward 10 Sec",                         {4215, 6840, 375, 315}},
    {&C::Command9,     u"Command9",  u"",                       u"Show Search",                                 {4545, 6840, 375, 315}},
    {&C::Command10,    u"Command10", u"",                       u"Browse Track",                                {4920, 6840, 375, 315}},

    // Outside the client area: never seen, reached by code or Alt keys.
    {&C::Command17,    u"Command17", u"",                       u"",                                            {1320, 7320, 615, 195}},
    {&C::Command18,    u"Command18", u"",                       u"",                                            {1920, 7320, 375, 195}},
    {&C::Label7,       u"Label7",    u"Play",                   u"Play Track",                                  {600, 7440, 495, 255},     kTransparent, kNoColour, kBlack},
    {&C::Label9,       u"Label9",    u"Next",                   u"Next Track",                                  {1080, 7440, 495, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label10,      u"Label10",   u"Prev",                   u"Previous Track",                              {1680, 7440, 495, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label8,       u"Label8",    u"Pause",                  u"Stop Track",                                  {2280, 7440, 495, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label19,      u"Label19",   u"Mini",                   u"Mini Player Pres ALT + X",                    {2880, 7440, 375, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label12,      u"Label12",   u"Tray",                   u"",                                            {3360, 7440, 375, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label13,      u"Label13",   u"Exit",                   u"",                                            {3840, 7440, 375, 255},    kTransparent, kNoColour, kBlack},
    {&C::Label6,       u"Label6",    u"Open",                   u"Open Media",                                  {120, 7680, 495, 255},     kTransparent, kNoColour, kBlack},
    {&C::Label2,       u"Label2",    u"Label2",                 u"",                                            {6360, 7440, 615, 255},    kTransparent, kNoColour, kWhite},
    {&C::Label4,       u"Label4",    u"Label4",                 u"",                                            {6960, 7440, 615, 255},    kTransparent, kNoColour, kWhite},
    {&C::Slider1,      u"Slider1",   u"",                       u"",                                            {2040, 7920, 2175, 315}},

    // Accelerator buttons: "&" marks the Alt key.
    {&C::Command8,     u"Command8",  u"&Prev",                  u"",                                            {480, 8400, 615, 375}},
    {&C::Command6,     u"Command6",  u"&Next",                  u"",                                            {1080, 8400, 615, 375}},
    {&C::Command2,     u"Command2",  u"Pl&ay",                  u"",                                            {1680, 8400, 615, 375}},
    {&C::Command1,     u"Command1",  u"&Mute",                  u"",                                            {2280, 8400, 735, 375}},
    {&C::Command4,     u"Command4",  u"Ma&xi",                  u"",                                            {3000, 8400, 735, 375}},
    {&C::Command5,     u"Command5",  u"&Task",                  u"",                                            {3720, 8400, 615, 375}},
    {&C::Command7,     u"Command7",  u"&Exit",                  u"",                                            {4320, 8400, 735, 375}},
    {&C::Stop,         u"Stop",      u"&Stop",                  u"",                                            {5040, 8400, 855, 375}},
    {&C::Open,         u"Open",      u"&Open",                  u"",                                            {5880, 8400, 855, 375}},
};

const MenuDesign kMenu[] = {
    // parent                 kind                  slot                            name                              caption
    {nullptr,                 MenuRow::Submenu,     &M::mnuplaystatus,              u"mnuplaystatus",                 u"Play Status"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopupplay,               u"mnupopupplay",                  u"&Play"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopupstop,               u"mnupopupstop",                  u"&Stop"},
    {&M::mnuplaystatus,       MenuRow::Separator,   &M::mnusep5,                    u"mnusep5",                       u"-"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopupfarward,            u"mnupopupfarward",               u"Farward"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopuprewind,             u"mnupopuprewind",                u"Rewind"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopuppause,              u"mnupopuppause",                 u"&Pause"},
    {&M::mnuplaystatus,       MenuRow::Item,        &M::mnupopupresume,             u"mnupopupresume",                u"&Resume"},
    {nullptr,                 MenuRow::Separator,   &M::mnuspe4,                    u"mnuspe4",                       u"-"},
    {nullptr,                 MenuRow::Item,        &M::mnupopupnext,               u"mnupopupnext",                  u"&Next"},
    {nullptr,                 MenuRow::Item,        &M::mnupopupprevious,           u"mnupopupprevious",              u"&Previous"},
    {nullptr,                 MenuRow::Separator,   &M::mnusep,                     u"mnusep",                        u"-"},
    {nullptr,                 MenuRow::Submenu,     &M::mnupopupcd,                 u"mnupopupcd",                    u"&CD"},
    {&M::mnupopupcd,          MenuRow::Item,        &M::mnupopupeject,              u"mnupopupeject",                 u"&Eject"},
    {&M::mnupopupcd,          MenuRow::Item,        &M::mnupopupclose,              u"mnupopupclose",                 u"&Close"},
    {nullptr,                 MenuRow::Submenu,     &M::mnupopupspeed,              u"mnupopupspeed",                 u"&Speed"},
    {&M::mnupopupspeed,       MenuRow::CheckItem,   &M::mnupopup25,                 u"mnupopup25",                    u"-25"},
    {&M::mnupopupspeed,       MenuRow::CheckItem,   &M::mnupopup50,                 u"mnupopup50",                    u"-50"},
    {&M::mnupopupspeed,       MenuRow::Separator,   &M::mnusep7,                    u"mnusep7",                       u"-"},
    {&M::mnupopupspeed,       MenuRow::CheckItem,   &M::mnupopup100,                u"mnupopup100",                   u"100"},
    {&M::mnupopupspeed,       MenuRow::Separator,   &M::mnusep6,                    u"mnusep6",                       u"-"},
    {&M::mnupopupspeed,       MenuRow::CheckItem,   &M::mnupopup150,                u"mnupopup150",                   u"+150"},
    {&M::mnupopupspeed,       MenuRow::CheckItem,   &M::mnupopup200,                u"mnupopup200",                   u"+200"},
    {nullptr,                 MenuRow::Submenu,     &M::mnupopupplaylist,           u"mnupopupplaylist",              u"Play List"},
    {&M::mnupopupplaylist,    MenuRow::Item,        &M::mnupopupsavelist,           u"mnupopupsavelist",              u"Save List"},
    {&M::mnupopupplaylist,    MenuRow::Item,        &M::mnupopuploadlist,           u"mnupopuploadlist",              u"Load List"},
    {&M::mnupopupplaylist,    MenuRow::CheckItem,   &M::mnupopupoptionsrepeat,      u"mnupopupoptionsrepeat",         u"&Repeat"},
    {&M::mnupopupplaylist,    MenuRow::CheckItem,   &M::mnupopupoptionsshufle,      u"mnupopupoptionsshufle",         u"Shufle"},
    {&M::mnupopupplaylist,    MenuRow::CheckItem,   &M::mnupopupoptionsturnoff,     u"mnupopupoptionsturnoff",        u"Off After Song"},
    {&M::mnupopupplaylist,    MenuRow::CheckItem,   &M::mnupopupoptionsupplaylist,  u"mnupopupoptionsupplaylist",     u"Up Play List"},
    {nullptr,                 MenuRow::Submenu,     &M::mnupopupvolume,             u"mnupopupvolume",                u"Volume"},
    {&M::mnupopupvolume,      MenuRow::CheckItem,   &M::mnupopupoptionsmute,        u"mnupopupoptionsmute",           u"&Mute"},
    {&M::mnupopupvolume,      MenuRow::Item,        &M::mnupopupvolumeinc,          u"mnupopupvolumeinc",             u"Up"},
    {&M::mnupopupvolume,      MenuRow::Item,        &M::mnupopupvolumedec,          u"mnupopupvolumedec",             u"Down"},
    {&M::mnupopupvolume,      MenuRow::Item,        &M::mnupopubalanceleft,         u"mnupopubalanceleft",            u"Balance Left"},
    {&M::mnupopupvolume,      MenuRow::Item,        &M::mnupopupbalancecenter,      u"mnupopupbalancecenter",         u"Balance Center"},
    {&M::mnupopupvolume,      MenuRow::Item,        &M::mnupopupbalanceright,       u"mnupopupbalanceright",          u"Balance Right"},
    {nullptr,                 MenuRow::Separator,   &M::mnusep1,                    u"mnusep1",                       u"-"},
    {nullptr,                 MenuRow::Item,        &M::mnupopupabout,              u"mnupopupabout",                 u"&About"},
    {nullptr,                 MenuRow::Item,        &M::mnumail,                    u"mnumail",                       u"Email Me"},
    {nullptr,                 MenuRow::Item,        &M::mnupopupreadme,             u"mnupopupreadme",                u"Read Me"},
    {nullptr,                 MenuRow::Item,        &M::mnupopuptag,                u"mnupopuptag",                   u"Tag Info "},
    {nullptr,                 MenuRow::Separator,   &M::mnusep2,                    u"mnusep2",                       u"-"},
    {nullptr,                 MenuRow::Item,        &M::mnupopupexit,               u"mnupopupexit",                  u"&Exit"},
};
// clang-format on

}  // namespace

std::span<const ControlDesign> Form2Design()
{
    return kDesign;
}

QStringList PictureButtonNames()
{
    QStringList names;
    for (const ControlDesign& d : kDesign) {
        if (std::holds_alternative<Slot<PictureButton>>(d.slot))
            names.append(d.name.toString());
    }
    return names;
}

std::span<const MenuDesign> Form2MenuDesign()
{
    return kMenu;
}

}  // namespace corvan
