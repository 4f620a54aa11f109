#include "audio/balance_speed.h"
#include "audio/seeking.h"
#include "audio/volume_controls.h"
#include "form2_harness.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace corvan {
namespace {

using test::Form2Harness;

QString Volume(const char* level)
{
    return QStringLiteral("Volume ") + QLatin1String(level);
}

// One pass of the event loop, as the running program makes between events.
void SpinEventLoopOnce()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

struct AudioWindow : ::testing::Test {
    AudioWindow() { h.form->show(); }
    Form2Harness h;
};

TEST_F(AudioWindow, VolumeButtonsAndMenuSteps)
{
    ASSERT_EQ(h.engine.volume, -2500);
    for (int i = 1; i <= 20; ++i)
        h.c().Command19->click();
    EXPECT_EQ(h.engine.volume, -500);
    EXPECT_EQ(h.c().Label23->text(), QStringLiteral("Volume Full"));
    EXPECT_EQ(h.form->focusWidget(), h.c().Slider1);
    h.c().Command20->click();
    EXPECT_EQ(h.c().Label23->text(), Volume(" 100"));

    // At either end the engine refuses, and the label tells the value kept.
    h.engine.volume = 0;
    h.c().Command19->click();
    EXPECT_EQ(h.engine.volume, 0);
    EXPECT_EQ(h.c().Label23->text(), QStringLiteral("Volume Full"));
    h.engine.volume = -10000;
    h.c().Command20->click();
    EXPECT_EQ(h.engine.volume, -10000);
    EXPECT_EQ(h.c().Label23->text(), QStringLiteral("Volume Least"));

    h.engine.volume = -2500;
    h.c().Label23->setText(QStringLiteral("Volume"));
    h.c().Text1->setFocus();
    h.m().mnupopupvolumeinc->trigger();
    EXPECT_EQ(h.engine.volume, -2300);
    EXPECT_EQ(h.form->focusWidget(), h.c().Slider1);
    h.m().mnupopupvolumedec->trigger();
    h.m().mnupopupvolumedec->trigger();
    EXPECT_EQ(h.engine.volume, -2700);
    EXPECT_EQ(h.c().Label23->text(), QStringLiteral("Volume"));
}

TEST_F(AudioWindow, SliderKeysAndSpinArrows)
{
    QSlider* slider = h.c().Slider1;
    h.c().Command20->click();  // the focus goes to the slider
    h.engine.volume = -2500;
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(h.c().Label23->text(), Volume(" 20 "));
    EXPECT_EQ(h.engine.volume, -2500);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(h.c().Label23->text(), Volume(" 100 "));
    EXPECT_EQ(h.engine.volume, 0);

    auto* up = h.c().UpDown1->findChild<QToolButton*>(QStringLiteral("up"));
    ASSERT_TRUE(up);
    const struct {
        long volume;
        int thumb;
    } afterClick[] = {{0, 10}, {-2500, 0}, {-2500, 0}, {-1800, 2}, {-1800, 2}, {-1200, 6}};
    for (const auto& want : afterClick) {
        up->click();
        EXPECT_EQ(h.engine.volume, want.volume) << h.c().UpDown1->Value();
        EXPECT_EQ(slider->value(), want.thumb) << h.c().UpDown1->Value();
    }
    // The thumb the spin control moved is not a slider move: the label keeps
    // what the slider last wrote.
    EXPECT_EQ(h.c().Label23->text(), Volume(" 100 "));
}

TEST_F(AudioWindow, MuteToggleAndItsMirrors)
{
    QAction* item = h.m().mnupopupoptionsmute;
    QTest::mouseClick(h.c().Label11, Qt::LeftButton);
    EXPECT_TRUE(h.engine.mute);
    EXPECT_EQ(h.c().Label11->text(), QStringLiteral("X"));
    EXPECT_FALSE(item->isChecked());

    item->trigger();  // marks itself, and unmutes what Label11 muted
    EXPECT_TRUE(item->isChecked());
    EXPECT_FALSE(h.engine.mute);
    EXPECT_EQ(h.c().Label11->text(), QString());

    h.c().Command1->click();
    EXPECT_TRUE(h.engine.mute);
    EXPECT_EQ(h.c().Label11->text(), QStringLiteral("X"));
    EXPECT_TRUE(item->isChecked());  // follows only its own uses
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(h.engine.mute);
}

TEST_F(AudioWindow, FileListKeysBypassTheMirrors)
{
    const int thumb = h.c().Slider1->value();
    QTest::keyClicks(h.c().File1, QStringLiteral("m++-"));
    EXPECT_TRUE(h.engine.mute);
    EXPECT_EQ(h.c().Label11->text(), QString());
    EXPECT_FALSE(h.m().mnupopupoptionsmute->isChecked());
    EXPECT_EQ(h.engine.volume, -2300);
    EXPECT_EQ(h.c().Label23->text(), QStringLiteral("Volume"));
    EXPECT_EQ(h.c().Slider1->value(), thumb);
}

TEST_F(AudioWindow, BalanceByOptionAndMenu)
{
    EXPECT_TRUE(h.c().Option2->isChecked());
    EXPECT_EQ(h.engine.callsOf(QStringLiteral("Balance")), QStringList{QStringLiteral("0")});
    const struct {
        std::function<void()> select;
        QRadioButton* Form2Controls::*option;
        int balance;
    } cases[] = {
        {[&] { h.m().mnupopupbalanceright->trigger(); }, &Form2Controls::Option1, 10000},
        {[&] { h.m().mnupopupbalancecenter->trigger(); }, &Form2Controls::Option2, 0},
        {[&] { h.m().mnupopubalanceleft->trigger(); }, &Form2Controls::Option3, -10000},
        {[&] { QTest::mouseClick(h.c().Option1, Qt::LeftButton); }, &Form2Controls::Option1, 10000},
        {[&] { h.c().Option2->click(); }, &Form2Controls::Option2, 0},
        {[&] { h.c().Option3->setChecked(true); }, &Form2Controls::Option3, -10000},
    };
    for (const auto& c : cases) {
        c.select();
        EXPECT_TRUE((h.c().*c.option)->isChecked()) << c.balance;
        EXPECT_EQ(h.engine.balance, c.balance);
    }
}

TEST_F(AudioWindow, SpeedMarksAndTheRateTick)
{
    auto* speed = h.form->findChild<BalanceSpeed*>(QStringLiteral("BalanceSpeed"));
    ASSERT_TRUE(speed);
    QAction* items[] = {h.m().mnupopup25, h.m().mnupopup50, h.m().mnupopup100, h.m().mnupopup150, h.m().mnupopup200};
    const double rates[] = {0.3, 0.5, 1.0, 1.2, 2.0};
    for (int i : {1, 4, 0, 3, 2}) {
        items[i]->trigger();
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(items[j]->isChecked(), i == j);
        speed->Tick();
        EXPECT_EQ(h.engine.rate, rates[i]);
    }
    items[2]->setChecked(false);
    speed->Tick();  // none marked
    EXPECT_EQ(h.engine.rate, 1.0);
    items[4]->setChecked(true);
    items[1]->setChecked(true);  // two marks: the first in menu order decides
    speed->Tick();
    EXPECT_EQ(h.engine.rate, 0.5);
}

TEST_F(AudioWindow, MarkedSpeedInForceBeforeTheLoopWaits)
{
    h.m().mnupopup200->trigger();
    EXPECT_EQ(h.engine.rate, 1.0);  // the item itself leaves the engine alone
    SpinEventLoopOnce();
    EXPECT_EQ(h.engine.rate, 2.0);

    h.engine.rate = 1.0;  // the engine reset its rate
    SpinEventLoopOnce();
    EXPECT_EQ(h.engine.rate, 2.0);

    // Nothing open: the rate is still written, and stays for the next file.
    h.m().mnupopup50->trigger();
    SpinEventLoopOnce();
    EXPECT_EQ(h.engine.rate, 0.5);

    h.form->close();  // unloaded: the tick is no longer live
    h.engine.rate = 1.0;
    SpinEventLoopOnce();
    EXPECT_EQ(h.engine.rate, 1.0);
}

TEST_F(AudioWindow, SeeksOfTenSecondsUnbounded)
{
    ASSERT_TRUE(h.form->findChild<Seeking*>(QStringLiteral("Seeking")));
    h.engine.open = true;
    h.engine.duration = 100;
    const struct {
        QObject* trigger;
        double start;
        QString asked;
        double position;
    } cases[] = {
        {h.c().Command23, 30, QStringLiteral("40"), 40},
        {h.m().mnupopupfarward, 30, QStringLiteral("40"), 40},
        {h.c().Command22, 30, QStringLiteral("20"), 20},
        {h.m().mnupopuprewind, 4, QStringLiteral("-6"), 4},  // asked for, refused
        {h.c().Command23, 95, QStringLiteral("105"), 95},
    };
    for (const auto& c : cases) {
        h.engine.position = c.start;
        h.engine.calls.clear();
        if (auto* action = qobject_cast<QAction*>(c.trigger))
            action->trigger();
        else
            qobject_cast<QAbstractButton*>(c.trigger)->click();
        EXPECT_EQ(h.engine.callsOf(QStringLiteral("CurrentPosition")), QStringList{c.asked});
        EXPECT_EQ(h.engine.position, c.position);
    }
}

TEST_F(AudioWindow, Timer1WritesTheTimeLine)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.c().Label15->text() != QStringLiteral("Label15"); }, 2000));
    EXPECT_EQ(h.c().Label15->text(), QStringLiteral(" Remain 0 : 0 Total Time 0"));
    h.engine.duration = 245.3;
    h.engine.position = 100.4;
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.c().Label15->text().endsWith(QStringLiteral("4.09")); }, 2000));
    EXPECT_EQ(h.c().Label15->text(), QStringLiteral(" Remain 2 : 25 Total Time 4.09"));
    QLocale::setDefault(QLocale::system());
}

}  // namespace
}  // namespace corvan
