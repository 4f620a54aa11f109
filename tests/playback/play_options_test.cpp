#include "queue_fixture.h"

#include <QTest>

namespace corvan::test {
namespace {

TEST(PlayOptions, PopupItemsToggleTheirBoxAndTheirOwnMark)
{
    const struct {
        QAction* Form2Menu::*item;
        QCheckBox* Form2Controls::*box;
    } rows[] = {
        {&Form2Menu::mnupopupoptionsrepeat, &Form2Controls::Check1},
        {&Form2Menu::mnupopupoptionsshufle, &Form2Controls::Check3},
        {&Form2Menu::mnupopupoptionsturnoff, &Form2Controls::Check2},
        {&Form2Menu::mnupopupoptionsupplaylist, &Form2Controls::Check4},
    };
    for (const auto& r : rows) {
        Form2Harness h;
        QAction* item = h.m().*r.item;
        QCheckBox* box = h.c().*r.box;
        SCOPED_TRACE(box->objectName().toStdString());
        const auto others = [&] {
            int on = 0;
            for (QCheckBox* b : {h.c().Check1, h.c().Check2, h.c().Check3, h.c().Check4})
                on += b != box && b->checkState() != Qt::Unchecked;
            return on;
        };

        item->trigger();
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(box->checkState(), Qt::Checked);
        item->trigger();
        EXPECT_FALSE(item->isChecked());
        EXPECT_EQ(box->checkState(), Qt::Unchecked);

        // A box ticked by itself leaves the mark behind: the next trigger
        // unticks the box and clears a mark that was not there.
        box->setChecked(true);
        EXPECT_FALSE(item->isChecked());
        item->trigger();
        EXPECT_EQ(box->checkState(), Qt::Unchecked);
        EXPECT_FALSE(item->isChecked());

        box->setCheckState(Qt::PartiallyChecked);
        item->trigger();
        EXPECT_EQ(box->checkState(), Qt::PartiallyChecked) << "a greyed box blocks the command";
        EXPECT_FALSE(item->isChecked());
        EXPECT_EQ(others(), 0);
        EXPECT_TRUE(h.engine.callsOf(u"FileName"_qs).isEmpty());
    }
}

TEST(PlayOptions, PictureButtonsToggleRepeatAndShuffleWithoutTheMenuMarks)
{
    Form2Harness h;
    Form2Controls& c = h.c();
    QTest::mouseClick(c.Command18, Qt::LeftButton);
    EXPECT_TRUE(c.Check1->isChecked());
    EXPECT_EQ(c.Command18->toolTip(), u"Repeat This Song"_qs);
    QTest::mouseClick(c.Command18, Qt::LeftButton);
    EXPECT_FALSE(c.Check1->isChecked());
    EXPECT_EQ(c.Command18->toolTip(), u"Repeat All Songs"_qs);

    QTest::mouseClick(c.Command17, Qt::LeftButton);
    EXPECT_TRUE(c.Check3->isChecked());
    QTest::mouseClick(c.Command17, Qt::LeftButton);
    EXPECT_FALSE(c.Check3->isChecked());

    EXPECT_FALSE(h.m().mnupopupoptionsrepeat->isChecked());
    EXPECT_FALSE(h.m().mnupopupoptionsshufle->isChecked());

    c.Check1->setCheckState(Qt::PartiallyChecked);
    c.Check3->setCheckState(Qt::PartiallyChecked);
    QTest::mouseClick(c.Command18, Qt::LeftButton);
    QTest::mouseClick(c.Command17, Qt::LeftButton);
    EXPECT_EQ(c.Check1->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(c.Check3->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(c.Command18->toolTip(), u"Repeat All Songs"_qs);
}

TEST(PlayOptions, RepeatBoxIsRenamedByEveryChange)
{
    const struct {
        const char* name;
        void (*change)(Form2Harness&);
    } changes[] = {
        {"click on the box", [](Form2Harness& h) { QTest::mouseClick(h.c().Check1, Qt::LeftButton); }},
        {"popup item", [](Form2Harness& h) { h.m().mnupopupoptionsrepeat->trigger(); }},
        {"picture button", [](Form2Harness& h) { h.c().Command18->click(); }},
    };
    for (const auto& ch : changes) {
        SCOPED_TRACE(ch.name);
        Form2Harness h;
        ASSERT_EQ(h.c().Check1->toolTip(), u"Repeat this Song"_qs);
        ch.change(h);
        EXPECT_TRUE(h.c().Check1->isChecked());
        EXPECT_EQ(h.c().Check1->toolTip(), u"Repeat This Song"_qs);
    }
}

}  // namespace
}  // namespace corvan::test
