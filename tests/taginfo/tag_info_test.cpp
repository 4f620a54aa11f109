#include "form2_harness.h"
#include "taginfo/form1.h"
#include "taginfo/tag_info.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

struct TagHarness : Form2Harness {
    TagHarness()
    {
        tagInfo = form->findChild<TagInfo*>(QStringLiteral("TagInfo"));
        ShowFolder(dir.path(), {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    }

    // "Tag Info " from the popup menu; the three boxes afterwards.
    QStringList TagInfoItem()
    {
        m().mnupopuptag->trigger();
        const Form1Controls& f = tagInfo->Window()->Controls();
        return {f.Text1->text(), f.Text2->text(), f.Text3->text()};
    }

    void Open(const QString& name, const QString& title, const QString& author)
    {
        engine.title = title;
        engine.author = author;
        engine.SetFileName(P(Path(name)));
    }

    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    static int LoadedTagWindows()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<Form1*>(w) ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    TagInfo* tagInfo = nullptr;
};

const QString kNotFound = QStringLiteral("Not Found");

TEST(TagInfo, BeforeAnySongShowsTheDesignTextsAndTheBareFolder)
{
    TagHarness h;
    ASSERT_NE(h.tagInfo, nullptr);
    EXPECT_EQ(h.TagInfoItem(), (QStringList{kNotFound, kNotFound, h.Path(QString())}));
    Form1* w = h.tagInfo->Window();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Song Tag Information"));
    EXPECT_EQ(w->size(), QSize(243, 189));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(w->parentWidget(), nullptr);
}

// Title and author belong to the open file, the path to the selection; a
// tag the engine cannot give leaves its box alone, an empty one empties it.
TEST(TagInfo, EachUseRefreshesTheOneWindow)
{
    TagHarness h;
    h.Open(QStringLiteral("a.mp3"), QStringLiteral("Song A"), QString());
    h.c().File1->SetListIndex(0);
    EXPECT_EQ(h.TagInfoItem(), (QStringList{QStringLiteral("Song A"), QString(), h.Path(u"a.mp3"_qs)}));
    Form1* first = h.tagInfo->Window();

    h.Open(QStringLiteral("b.mp3"), QStringLiteral("Song B"), QStringLiteral("Someone"));
    EXPECT_EQ(h.TagInfoItem(), (QStringList{QStringLiteral("Song B"), QStringLiteral("Someone"), h.Path(u"a.mp3"_qs)}));

    h.engine.SetFileName(P(QStringLiteral("/nonexistent/x.mp3")));
    h.c().File1->SetListIndex(1);
    EXPECT_EQ(h.TagInfoItem(), (QStringList{QStringLiteral("Song B"), QStringLiteral("Someone"), h.Path(u"b.mp3"_qs)}));

    EXPECT_EQ(h.tagInfo->Window(), first);
    EXPECT_EQ(TagHarness::LoadedTagWindows(), 1);
}

TEST(TagInfo, UnloadButtonClosesAndTheNextUseStartsFromTheDesign)
{
    TagHarness h;
    h.Open(QStringLiteral("a.mp3"), QStringLiteral("Song A"), QStringLiteral("Someone"));
    h.TagInfoItem();
    h.tagInfo->Window()->Controls().Command1->click();
    EXPECT_EQ(h.tagInfo->Window(), nullptr);
    EXPECT_EQ(TagHarness::LoadedTagWindows(), 0);

    h.engine.SetFileName(P(QString()));
    EXPECT_EQ(h.TagInfoItem().mid(0, 2), (QStringList{kNotFound, kNotFound}));
}

// Shown, loaded hidden by "Tray", or never loaded: the main window's unload
// leaves no tag window behind.
TEST(TagInfo, ClosesWithTheMainWindow)
{
    for (int loaded = 0; loaded < 3; ++loaded) {
        SCOPED_TRACE(loaded);
        TagHarness h;
        h.form->show();
        if (loaded == 1)
            h.TagInfoItem();
        if (loaded == 2)
            emit h.c().Label12->Clicked();
        h.form->close();
        EXPECT_EQ(h.tagInfo->Window(), nullptr);
        EXPECT_EQ(TagHarness::LoadedTagWindows(), 0);
    }
}

}  // namespace
}  // namespace corvan::test
