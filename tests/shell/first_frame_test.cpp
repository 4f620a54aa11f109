// The window's first picture is not drawn again when the window system
// exposes it late or the window manager first makes it active.
#include "shell/first_frame.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace corvan {
namespace {

TEST(ExposureIsStale, OnlyWhatTheServerMadeBeforeItHadThePaint)
{
    EXPECT_TRUE(ExposureIsStale(379, 383));
    EXPECT_TRUE(ExposureIsStale(383, 383)) << "made right after the marker, before the paint's copy";
    EXPECT_FALSE(ExposureIsStale(384, 383));
    // The request numbers wrap around.
    EXPECT_TRUE(ExposureIsStale(0xfffffff0u, 5));
    EXPECT_FALSE(ExposureIsStale(5, 0xfffffff0u));
}

class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget& w) { w.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

// A window with a check box (which takes the focus when the window becomes
// active) over a list, painted, and then left for another window: the
// test platform makes a window active as it shows it, before its first
// paint, so its first activation after a paint is staged this way.
struct Window {
    explicit Window(const QPalette& palette)
    {
        window.setPalette(palette);
        window.setGeometry(40, 40, 200, 200);
        box = new QCheckBox(QStringLiteral("Repeat"), &window);
        box->setGeometry(5, 5, 100, 20);
        list = new QListWidget(&window);
        list->setGeometry(5, 30, 150, 150);
        list->addItems({QStringLiteral("one.mp3"), QStringLiteral("two.mp3")});
        list->setCurrentRow(0);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other.setGeometry(300, 40, 50, 50);
        other.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        QTest::qWait(20);
        DrawFirstFrameOnce(window);
        boxPaints = std::make_unique<PaintCount>(*box);
        listPaints = std::make_unique<PaintCount>(*list->viewport());
    }

    void Activate()
    {
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::qWait(20);
    }

    void LeaveAndComeBack()
    {
        other.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
        Activate();
    }

    QWidget window;
    QWidget other;
    QCheckBox* box = nullptr;
    QListWidget* list = nullptr;
    std::unique_ptr<PaintCount> boxPaints;
    std::unique_ptr<PaintCount> listPaints;
};

QPalette SameActiveOrNot()
{
    QPalette palette = QApplication::palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        palette.setBrush(QPalette::Inactive, r, palette.brush(QPalette::Active, r));
    }
    return palette;
}

TEST(FirstActivation, DrawsNothingAgainWhereNothingChangesThenRepaintsAsUsual)
{
    if (QApplication::style()->name() != QLatin1String("fusion"))
        GTEST_SKIP() << "the check box's focus frame is Fusion's";
    Window w(SameActiveOrNot());

    w.Activate();
    EXPECT_TRUE(w.box->hasFocus()) << "the focus is given as always";
    EXPECT_EQ(w.listPaints->count, 0);
    EXPECT_EQ(w.boxPaints->count, 0);

    // Only the first activation: afterwards the window repaints as Qt does.
    w.LeaveAndComeBack();
    EXPECT_GT(w.listPaints->count, 0);
    EXPECT_GT(w.boxPaints->count, 0);
}

TEST(FirstActivation, RepaintsWhatLooksOtherwiseInTheActiveWindow)
{
    QPalette palette = SameActiveOrNot();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
    Window w(palette);

    w.Activate();
    EXPECT_GT(w.listPaints->count, 0) << "the selected row takes the active colour";
}

}  // namespace
}  // namespace corvan
