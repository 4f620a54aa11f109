#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace corvan {

// The controls of the tag window, by their design names.
struct Form1Controls {
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text1 = nullptr;  // title
    QLineEdit* Text2 = nullptr;  // author
    QLineEdit* Text3 = nullptr;  // path
    QPushButton* Command1 = nullptr;
};

// "Song Tag Information": a small fixed tool window with the title and
// author of the open song and the path of the selected file. A new window
// starts from the design texts; it is filled only by the "Tag Info " command.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    Form1Controls& Controls() { return c_; }

signals:
    // The window was closed ("Unload", its close box, or the main window's
    // unload); whoever loaded it lets it go.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Form1Controls c_;
};

}  // namespace corvan
