#include "shell/desktop.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace corvan {
namespace {

TEST(DialogFilters, DesignFiltersBecomeCaseBlindDialogFilters)
{
    EXPECT_EQ(DialogFilters(u"Mp3 PlayList|*.sic"_qs), QStringList{u"Mp3 PlayList (*.[sS][iI][cC])"_qs});
    EXPECT_EQ(DialogFilters(u"Music Files(*.Mp3 *.Wav *.Mid) |*.Mp3; *.Wav; *.Mid"_qs),
              QStringList{u"Music Files(*.Mp3 *.Wav *.Mid) (*.[mM][pP]3 *.[wW][aA][vV] *.[mM][iI][dD])"_qs});
    EXPECT_EQ(DialogFilters(u"A|*.a|B|*.b"_qs).size(), 2);
    EXPECT_TRUE(DialogFilters(u""_qs).isEmpty());

    // the glob a dialog builds from the filter finds names of any case
    const QString glob = u"*.[mM][pP]3"_qs;
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(glob));
    EXPECT_TRUE(re.match(u"song.MP3"_qs).hasMatch());
    EXPECT_TRUE(re.match(u"song.mp3"_qs).hasMatch());
    EXPECT_FALSE(re.match(u"song.mp4"_qs).hasMatch());
}

}  // namespace
}  // namespace corvan
