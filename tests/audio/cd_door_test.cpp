#include "audio/cd_door.h"

#include <QTemporaryFile>

#include <linux/cdrom.h>

#include <gtest/gtest.h>

namespace corvan {
namespace {

TEST(CdDoor, EachCommandStringNamesItsDriveRequest)
{
    const struct {
        QString command;
        std::optional<unsigned long> request;
    } cases[] = {
        {QStringLiteral("set CDAudio door open"), CDROMEJECT},
        {QStringLiteral("set CDAudio door closed"), CDROMCLOSETRAY},
        {QStringLiteral("set CDAudio door"), std::nullopt},
        {QStringLiteral("set CDAudio door opened"), std::nullopt},
        {QStringLiteral("set CDAudio door close"), std::nullopt},
        {QString(), std::nullopt},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.command.toStdString());
        EXPECT_EQ(CdDoorRequest(row.command), row.request);
    }
}

// None of these is a CD drive: the request fails quietly, and an unknown
// command is refused before any device is touched.
TEST(CdDoor, WithoutADriveNothingHappens)
{
    QTemporaryFile plainFile;
    ASSERT_TRUE(plainFile.open());
    const QStringList notADrive[] = {
        {},
        {QStringLiteral("/nonexistent/cdrom"), QStringLiteral("/nonexistent/sr0")},
        {QStringLiteral("/dev/null")},
        {plainFile.fileName()},
    };
    for (const QStringList& devices : notADrive) {
        SCOPED_TRACE(devices.join(QLatin1Char(' ')).toStdString());
        EXPECT_FALSE(SendCdDoorCommand(kCdDoorOpen, devices));
        EXPECT_FALSE(SendCdDoorCommand(kCdDoorClosed, devices));
    }
    EXPECT_FALSE(SendCdDoorCommand(u"set CDAudio door ajar", {QStringLiteral("/dev/null")}));
    EXPECT_TRUE(plainFile.exists());
}

}  // namespace
}  // namespace corvan
