// The desktop's remote control, worked through its own calls on a window
// with the fake engine; no bus is involved (mpris_bus_test.cpp has one).
#include "audio/balance_speed.h"
#include "form2_harness.h"
#include "desktop/mpris.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace corvan::test {
namespace {

TEST(MprisValues, VolumeFactorAndDecibelsMapBothWays)
{
    const struct {
        long hundredthsDb;
        double factor;
    } rows[] = {
        {0, 1.0}, {-602, 0.5}, {-2000, 0.1}, {-2500, 0.056234}, {-6000, 0.001}, {-9999, 1.0012e-5}, {-10000, 0.0},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(VolumeToFactor(row.hundredthsDb), row.factor, row.factor * 1e-3 + 1e-9) << row.hundredthsDb;
        if (row.factor > 0) {
            EXPECT_EQ(FactorToVolume(VolumeToFactor(row.hundredthsDb)), row.hundredthsDb);
        }
    }
    EXPECT_EQ(FactorToVolume(0.5), -602);
    EXPECT_EQ(FactorToVolume(1.7), 0) << "no amplification";
    EXPECT_EQ(FactorToVolume(0.0), -10000);
    EXPECT_EQ(FactorToVolume(-0.3), -10000);
    EXPECT_EQ(FactorToVolume(1e-9), -10000) << "below the floor";
    EXPECT_EQ(FactorToVolume(std::nan("")), -10000);
}

TEST(MprisValues, RatesGoToTheNearestSpeedItem)
{
    const struct {
        double rate;
        std::optional<std::size_t> item;
    } rows[] = {
        {0.3, 0},
        {0.1, 0},
        {0.45, 1},
        {0.5, 1},
        {0.8, 2},
        {1.0, 2},
        {1.05, 2},
        {1.15, 3},
        {1.5, 3},
        {1.7, 4},
        {2.0, 4},
        {16.0, 4},
        {0.0, std::nullopt},
        {-1.0, std::nullopt},
        {std::nan(""), std::nullopt},
        {INFINITY, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NearestSpeed(row.rate), row.item) << row.rate;
}

TEST(MprisValues, MetadataOfATrack)
{
    const QVariantMap full = TrackMetadata({P(u"/music/My Song #1.mp3"_qs), u"Title"_qs, u"Author"_qs, 12.5});
    EXPECT_EQ(full.value(u"mpris:trackid"_qs).value<QDBusObjectPath>(), TrackId(P(u"/music/My Song #1.mp3"_qs)));
    EXPECT_EQ(full.value(u"xesam:title"_qs), QVariant(u"Title"_qs));
    EXPECT_EQ(full.value(u"xesam:artist"_qs), QVariant(QStringList{u"Author"_qs}));
    EXPECT_EQ(full.value(u"xesam:url"_qs), QVariant(u"file:///music/My%20Song%20%231.mp3"_qs));
    EXPECT_EQ(full.value(u"mpris:length"_qs).metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(full.value(u"mpris:length"_qs).toLongLong(), 12'500'000);

    // Tags not read yet, length not known yet: the file's name stands in,
    // and what is not known is left out.
    const QVariantMap bare = TrackMetadata({P(u"/music/b.wav"_qs), {}, {}, 0});
    EXPECT_EQ(bare.value(u"xesam:title"_qs), QVariant(u"b.wav"_qs));
    EXPECT_FALSE(bare.contains(u"xesam:artist"_qs));
    EXPECT_FALSE(bare.contains(u"mpris:length"_qs));

    EXPECT_TRUE(TrackMetadata({}).isEmpty());
}

TEST(MprisValues, TrackIdsAreObjectPathsThatFollowTheFile)
{
    const QString id = TrackId(P(u"/a/b.mp3"_qs)).path();
    EXPECT_TRUE(id.startsWith(u"/org/corvan/player/track/"_qs));
    EXPECT_TRUE(QDBusObjectPath(id).path() == id);
    for (QChar ch : id.mid(1))
        EXPECT_TRUE(ch == u'/' || ch == u'_' || ch.isLetterOrNumber()) << id.toStdString();
    EXPECT_EQ(TrackId(P(u"/a/b.mp3"_qs)), TrackId(P(u"/a/b.mp3"_qs)));
    EXPECT_NE(TrackId(P(u"/a/b.mp3"_qs)), TrackId(P(u"/a/c.mp3"_qs)));
    EXPECT_EQ(TrackId(FilePath()).path(), kMprisNoTrack.toString());
}

TEST(MprisValues, PositionWatchTellsJumpsFromPlayback)
{
    // Looks half a second apart: position, playing, rate, jump?
    const struct {
        double position;
        bool playing;
        double rate;
        bool jumped;
        const char* what;
    } looks[] = {
        {5.0, true, 1.0, false, "first look"},
        {5.5, true, 1.0, false, "plays on"},
        {6.1, true, 1.0, false, "a little uneven"},
        {16.6, true, 1.0, true, "ten seconds forward"},
        {7.1, true, 1.0, true, "back again"},
        {8.1, true, 2.0, false, "double speed"},
        {8.1, false, 2.0, false, "paused: a change of state only"},
        {8.1, false, 2.0, false, "stays paused"},
        {2.0, false, 2.0, true, "moved while paused"},
        {0.0, true, 1.0, false, "starts playing"},
    };
    PositionWatch watch;
    double now = 100;
    for (const auto& look : looks) {
        EXPECT_EQ(watch.Jumped(look.position, now, look.playing, look.rate), look.jumped) << look.what;
        now += 0.5;
    }
}

// A window whose queue holds a.mp3, b.mp3, c.mp3, with the start-up calls
// cleared from the engine's record.
struct Player {
    Player()
    {
        h.ShowFolder(dir.path(), {u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs});
        mpris = WireMpris(*h.form);
        if (mpris)
            mpris->Refresh();  // the start volume, written after the window was built
        h.engine.calls.clear();
    }

    QString Path(const QString& name) const { return dir.path() + u'/' + name; }

    // Entry `index` opened and playing, `seconds` into its 30 seconds.
    void Playing(int index, double seconds = 0)
    {
        h.c().File1->SetListIndex(index);
        h.engine.SetFileName(h.c().File1->SelectedPath());
        h.engine.duration = 30;
        h.engine.position = seconds;
        h.engine.calls.clear();
        mpris->Refresh();
    }

    QTemporaryDir dir;
    Form2Harness h;
    Mpris* mpris = nullptr;
};

TEST(Mpris, SeekingMovesWithinTheTrackAndTellsWhereItLanded)
{
    Player p;
    p.Playing(0, 10);
    QSignalSpy seeked(p.mpris, &Mpris::Seeked);

    p.mpris->Seek(5'000'000);
    p.mpris->Seek(-30'000'000);  // before the start: the start
    EXPECT_EQ(p.h.engine.callsOf(u"CurrentPosition"_qs), (QStringList{u"15"_qs, u"0"_qs}));
    ASSERT_EQ(seeked.count(), 2);
    EXPECT_EQ(seeked.at(0).at(0).toLongLong(), 15'000'000);
    EXPECT_EQ(seeked.at(1).at(0).toLongLong(), 0);

    // Another track's id, or a place outside the track: nothing moves.
    p.h.engine.calls.clear();
    p.mpris->SetPosition(TrackId(P(p.Path(u"b.mp3"_qs))), 3'000'000);
    p.mpris->SetPosition(TrackId(P(p.Path(u"a.mp3"_qs))), 31'000'000);
    p.mpris->SetPosition(TrackId(P(p.Path(u"a.mp3"_qs))), -1);
    EXPECT_TRUE(p.h.engine.calls.isEmpty());
    p.mpris->SetPosition(TrackId(P(p.Path(u"a.mp3"_qs))), 21'250'000);
    EXPECT_EQ(p.h.engine.calls, QStringList{u"CurrentPosition 21.25"_qs});
    EXPECT_EQ(p.mpris->Position(), 21'250'000);
    ASSERT_EQ(seeked.count(), 3);
    EXPECT_EQ(seeked.at(2).at(0).toLongLong(), 21'250'000);

    // Past the end: the next track.
    p.h.engine.calls.clear();
    p.mpris->Seek(20'000'000);
    EXPECT_EQ(p.h.engine.calls, QStringList{u"FileName "_qs + p.Path(u"b.mp3"_qs)});
    EXPECT_EQ(seeked.count(), 3);

    // The window's own seek buttons are told on the next look.
    p.Playing(0, 10);
    seeked.clear();
    p.h.c().Command23->click();
    p.mpris->Refresh();
    ASSERT_EQ(seeked.count(), 1);
    EXPECT_EQ(seeked.at(0).at(0).toLongLong(), 20'000'000);
}

TEST(Mpris, NothingOpenMeansNoMetadataAndNoSeeking)
{
    Player p;
    EXPECT_TRUE(p.mpris->Metadata().isEmpty());
    EXPECT_EQ(p.mpris->PlaybackStatus(), u"Stopped"_qs);
    p.mpris->Seek(1'000'000);
    p.mpris->SetPosition(QDBusObjectPath(kMprisNoTrack.toString()), 0);
    EXPECT_TRUE(p.h.engine.calls.isEmpty());
}

TEST(Mpris, VolumeGoesToTheEngineAndLeavesTheLadderAlone)
{
    Player p;
    EXPECT_NEAR(p.mpris->Volume(), 0.0562, 1e-4) << "the start volume -2500";
    const QString label = p.h.c().Label23->text();
    const int thumb = p.h.c().Slider1->value();
    const struct {
        double factor;
        long volume;
    } rows[] = {{0.5, -602}, {1.0, 0}, {3.0, 0}, {0.0, -10000}, {-1.0, -10000}, {0.1, -2000}};
    for (const auto& row : rows) {
        p.mpris->SetVolume(row.factor);
        EXPECT_EQ(p.h.engine.Volume(), row.volume) << row.factor;
    }
    EXPECT_NEAR(p.mpris->Volume(), 0.1, 1e-9);
    p.mpris->SetVolume(std::nan(""));
    EXPECT_EQ(p.h.engine.Volume(), -2000);
    EXPECT_EQ(p.h.c().Label23->text(), label);
    EXPECT_EQ(p.h.c().Slider1->value(), thumb);
}

TEST(Mpris, RateMarksASpeedItemAndZeroPauses)
{
    Player p;
    p.Playing(0);
    Form2Menu& m = p.h.m();
    QAction* items[] = {m.mnupopup25, m.mnupopup50, m.mnupopup100, m.mnupopup150, m.mnupopup200};
    const struct {
        double rate;
        int marked;  // index of the one marked item, -1 for none
    } rows[] = {{2.0, 4}, {1.05, 2}, {0.35, 0}, {-2.0, 0}, {1.3, 3}, {0.5, 1}};
    for (const auto& row : rows) {
        p.mpris->SetRate(row.rate);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(items[i]->isChecked(), i == row.marked) << row.rate << " item " << i;
        EXPECT_EQ(p.mpris->Rate(), BalanceSpeed::kSpeedRates[static_cast<std::size_t>(row.marked)]);
    }
    // The rate tick brings the engine to the marked speed.
    p.h.form->findChild<BalanceSpeed*>(u"BalanceSpeed"_qs)->Tick();
    EXPECT_EQ(p.h.engine.Rate(), 0.5);

    p.h.engine.calls.clear();
    p.mpris->SetRate(0.0);
    EXPECT_EQ(p.h.engine.calls, QStringList{u"Pause"_qs});
    EXPECT_TRUE(m.mnupopup50->isChecked());
    EXPECT_EQ(p.mpris->MinimumRate(), 0.3);
    EXPECT_EQ(p.mpris->MaximumRate(), 2.0);
}

TEST(Mpris, LoopAndShuffleFollowTheBoxesWhoeverSetThem)
{
    Player p;
    Form2Controls& c = p.h.c();
    // Set by hand: the menu's mark stays off, and the desktop's answer
    // follows the box.
    c.Check1->click();
    c.Check3->click();
    EXPECT_EQ(p.mpris->LoopStatus(), u"Track"_qs);
    EXPECT_TRUE(p.mpris->Shuffle());
    p.mpris->SetLoopStatus(u"Playlist"_qs);
    EXPECT_EQ(c.Check1->checkState(), Qt::Checked) << "no such option: ignored";
    p.mpris->SetLoopStatus(u"Track"_qs);
    p.mpris->SetShuffle(true);
    EXPECT_EQ(c.Check1->checkState(), Qt::Checked) << "asking for what is in force changes nothing";
    EXPECT_EQ(c.Check3->checkState(), Qt::Checked);
    p.mpris->SetLoopStatus(u"None"_qs);
    p.mpris->SetShuffle(false);
    EXPECT_EQ(c.Check1->checkState(), Qt::Unchecked);
    EXPECT_EQ(c.Check3->checkState(), Qt::Unchecked);
    EXPECT_FALSE(p.h.m().mnupopupoptionsrepeat->isChecked());
    EXPECT_EQ(c.Check1->toolTip(), u"Repeat This Song"_qs);
}

TEST(Mpris, ChangesAreToldOnceWhenTheyHappen)
{
    Player p;
    QSignalSpy told(p.mpris, &Mpris::PropertiesChanged);
    QSignalSpy seeked(p.mpris, &Mpris::Seeked);
    const auto last = [&] { return told.isEmpty() ? QVariantMap() : told.last().at(1).toMap(); };

    // A file starts (from the window): status and metadata at the next look.
    p.h.c().File1->SetListIndex(0);
    p.h.engine.SetFileName(p.h.c().File1->SelectedPath());
    p.h.engine.duration = 30;
    p.h.engine.title = u"Song"_qs;
    p.h.engine.author = u"Band"_qs;
    EXPECT_TRUE(told.isEmpty()) << "nothing before the look";
    p.mpris->Refresh();
    ASSERT_EQ(told.count(), 1);
    EXPECT_EQ(told.last().at(0).toString(), kMprisPlayerInterface.toString());
    EXPECT_EQ(last().keys(), (QStringList{u"Metadata"_qs, u"PlaybackStatus"_qs}));
    EXPECT_EQ(last().value(u"PlaybackStatus"_qs), QVariant(u"Playing"_qs));
    EXPECT_EQ(last().value(u"Metadata"_qs).toMap().value(u"xesam:title"_qs), QVariant(u"Song"_qs));

    // Playing on: the position moves, nothing is told, tick after tick.
    for (int i = 0; i < 4; ++i) {
        p.h.engine.position += 0.5;
        p.mpris->Refresh();
    }
    EXPECT_EQ(told.count(), 1);
    EXPECT_EQ(seeked.count(), 0);

    // The window's controls: each change told once, with its value alone.
    p.h.c().Check3->click();
    ASSERT_EQ(told.count(), 2);
    EXPECT_EQ(last(), (QVariantMap{{u"Shuffle"_qs, true}}));
    p.h.m().mnupopupoptionsrepeat->trigger();
    ASSERT_EQ(told.count(), 3);
    EXPECT_EQ(last(), (QVariantMap{{u"LoopStatus"_qs, u"Track"_qs}}));
    p.h.m().mnupopup150->trigger();
    ASSERT_EQ(told.count(), 4);
    EXPECT_EQ(last(), (QVariantMap{{u"Rate"_qs, 1.2}}));
    p.h.c().Command19->click();  // volume up a step, seen on the tick
    p.mpris->Refresh();
    ASSERT_EQ(told.count(), 5);
    EXPECT_EQ(last().keys(), QStringList{u"Volume"_qs});
    EXPECT_NEAR(last().value(u"Volume"_qs).toDouble(), VolumeToFactor(-2400), 1e-9);
    p.h.c().Command14->click();
    p.mpris->Refresh();
    p.mpris->Refresh();
    ASSERT_EQ(told.count(), 6);
    EXPECT_EQ(last(), (QVariantMap{{u"PlaybackStatus"_qs, u"Paused"_qs}}));

    // The time display's tick is what looks.
    p.h.c().Command13->click();  // the selected entry again, from its start
    QTRY_COMPARE_WITH_TIMEOUT(told.count(), 7, 2000);
    EXPECT_EQ(last(), (QVariantMap{{u"PlaybackStatus"_qs, u"Playing"_qs}}));
    EXPECT_EQ(seeked.count(), 0) << "a file starting again is no seek";
}

TEST(Mpris, OpenUriTakesOnlyLocalFiles)
{
    Player p;
    for (const QString& uri : {u"http://example.org/a.mp3"_qs, QUrl::fromLocalFile(p.Path(u"none.mp3"_qs)).toString(),
                               QUrl::fromLocalFile(p.dir.path()).toString(), QString()})
        p.mpris->OpenUri(uri);
    EXPECT_TRUE(p.h.engine.calls.isEmpty());
}

}  // namespace
}  // namespace corvan::test
