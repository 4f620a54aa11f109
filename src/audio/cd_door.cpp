#include "audio/cd_door.h"

#include <QFile>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace corvan {

std::optional<unsigned long> CdDoorRequest(QStringView command)
{
    if (command == kCdDoorOpen)
        return CDROMEJECT;
    if (command == kCdDoorClosed)
        return CDROMCLOSETRAY;
    return std::nullopt;
}

QStringList DefaultCdDevices()
{
    return {QStringLiteral("/dev/cdrom"), QStringLiteral("/dev/sr0")};
}

bool SendCdDoorCommand(QStringView command, const QStringList& devices)
{
    const std::optional<unsigned long> request = CdDoorRequest(command);
    if (!request)
        return false;
    for (const QString& device : devices) {
        // Without O_NONBLOCK the open waits for a medium and fails on an
        // empty drive, which is exactly when the tray is wanted.
        const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool taken = ::ioctl(fd, *request, 0) == 0;
        ::close(fd);
        return taken;
    }
    return false;
}

CdDoor::CdDoor(QStringList devices, QObject* parent)
    : QObject(parent)
    , devices_(std::move(devices))
{
    setObjectName(QStringLiteral("CdDoor"));
}

void CdDoor::Eject()
{
    send(kCdDoorOpen);
}

void CdDoor::CloseTray()
{
    send(kCdDoorClosed);
}

void CdDoor::send(QStringView command)
{
    const bool taken = SendCdDoorCommand(command, devices_);
    emit CommandSent(command.toString(), taken);
}

}  // namespace corvan
