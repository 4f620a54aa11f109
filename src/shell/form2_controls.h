#pragma once

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"
#include "shell/seek_bar.h"
#include "shell/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>

namespace corvan {

// Every control of the main window, by its design name. Form2 creates them
// from the design table (form2_design.cpp); the subsystems work on them.
struct Form2Controls {
    // top band: play options, balance, hot spots
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option1 = nullptr;
    ClickLabel* Image4 = nullptr;
    ClickLabel* Image3 = nullptr;

    // player and lists
    SeekBar* MediaPlayer1 = nullptr;
    ClickLabel* hide = nullptr;
    DriveListBox* Drive1 = nullptr;
    DirListBox* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QListWidget* List1 = nullptr;
    TextBox* Text1 = nullptr;
    ClickLabel* Label15 = nullptr;
    ClickLabel* Total = nullptr;
    ClickLabel* Playing = nullptr;
    ClickLabel* Label1 = nullptr;
    ClickLabel* Label11 = nullptr;
    QComboBox* Combo1 = nullptr;
    PictureButton* Command21 = nullptr;
    QCheckBox* Check5 = nullptr;
    ClickLabel* Label23 = nullptr;
    UpDown* UpDown1 = nullptr;
    TextBox* Text5 = nullptr;

    // the button row
    PictureButton* Command22 = nullptr;
    PictureButton* Command12 = nullptr;
    PictureButton* Command13 = nullptr;
    PictureButton* Command14 = nullptr;
    PictureButton* Command15 = nullptr;
    PictureButton* Command16 = nullptr;
    PictureButton* Command19 = nullptr;
    PictureButton* Command20 = nullptr;
    PictureButton* Command11 = nullptr;
    PictureButton* Command23 = nullptr;
    PictureButton* Command9 = nullptr;
    PictureButton* Command10 = nullptr;

    // outside the client area
    PictureButton* Command17 = nullptr;
    PictureButton* Command18 = nullptr;
    ClickLabel* Label7 = nullptr;
    ClickLabel* Label9 = nullptr;
    ClickLabel* Label10 = nullptr;
    ClickLabel* Label8 = nullptr;
    ClickLabel* Label19 = nullptr;
    ClickLabel* Label12 = nullptr;
    ClickLabel* Label13 = nullptr;
    ClickLabel* Label6 = nullptr;
    ClickLabel* Label2 = nullptr;
    ClickLabel* Label4 = nullptr;
    QSlider* Slider1 = nullptr;

    // accelerator buttons, there for their Alt keys
    QPushButton* Command8 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Stop = nullptr;
    QPushButton* Open = nullptr;
};

// The popup menu `mnupopup` and its items, by their design names.
struct Form2Menu {
    QMenu* mnupopup = nullptr;

    QMenu* mnuplaystatus = nullptr;
    QAction* mnupopupplay = nullptr;
    QAction* mnupopupstop = nullptr;
    QAction* mnusep5 = nullptr;
    QAction* mnupopupfarward = nullptr;
    QAction* mnupopuprewind = nullptr;
    QAction* mnupopuppause = nullptr;
    QAction* mnupopupresume = nullptr;
    QAction* mnuspe4 = nullptr;
    QAction* mnupopupnext = nullptr;
    QAction* mnupopupprevious = nullptr;
    QAction* mnusep = nullptr;
    QMenu* mnupopupcd = nullptr;
    QAction* mnupopupeject = nullptr;
    QAction* mnupopupclose = nullptr;
    QMenu* mnupopupspeed = nullptr;
    QAction* mnupopup25 = nullptr;
    QAction* mnupopup50 = nullptr;
    QAction* mnusep7 = nullptr;
    QAction* mnupopup100 = nullptr;
    QAction* mnusep6 = nullptr;
    QAction* mnupopup150 = nullptr;
    QAction* mnupopup200 = nullptr;
    QMenu* mnupopupplaylist = nullptr;
    QAction* mnupopupsavelist = nullptr;
    QAction* mnupopuploadlist = nullptr;
    QAction* mnupopupoptionsrepeat = nullptr;
    QAction* mnupopupoptionsshufle = nullptr;
    QAction* mnupopupoptionsturnoff = nullptr;
    QAction* mnupopupoptionsupplaylist = nullptr;
    QMenu* mnupopupvolume = nullptr;
    QAction* mnupopupoptionsmute = nullptr;
    QAction* mnupopupvolumeinc = nullptr;
    QAction* mnupopupvolumedec = nullptr;
    QAction* mnupopubalanceleft = nullptr;
    QAction* mnupopupbalancecenter = nullptr;
    QAction* mnupopupbalanceright = nullptr;
    QAction* mnusep1 = nullptr;
    QAction* mnupopupabout = nullptr;
    QAction* mnumail = nullptr;
    QAction* mnupopupreadme = nullptr;
    QAction* mnupopuptag = nullptr;
    QAction* mnusep2 = nullptr;
    QAction* mnupopupexit = nullptr;
};

}  // namespace corvan
