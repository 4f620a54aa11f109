#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvan {

// The two door commands of the popup's "&CD" submenu, by the names the
// player has always used for them.
inline constexpr QStringView kCdDoorOpen = u"set CDAudio door open";
inline constexpr QStringView kCdDoorClosed = u"set CDAudio door closed";

// The drive request a door command stands for (CDROMEJECT or
// CDROMCLOSETRAY); nullopt for any other text.
std::optional<unsigned long> CdDoorRequest(QStringView command);

// The CD devices tried in turn; the first one that opens takes the request.
QStringList DefaultCdDevices();

// Sends the request of `command` to the first of `devices` that opens.
// False when the command is unknown, no device opens, or the drive refuses
// (no drive, a busy or locked tray): the caller shows nothing either way.
bool SendCdDoorCommand(QStringView command, const QStringList& devices);

// The tray of the CD drive, opened and closed from the popup menu. It keeps
// no state about the door; each command is one synchronous request.
class CdDoor : public QObject {
    Q_OBJECT

public:
    explicit CdDoor(QStringList devices = DefaultCdDevices(), QObject* parent = nullptr);

    void Eject();      // "&Eject"
    void CloseTray();  // "&Close"

    // The devices to try, first first.
    void SetDevices(QStringList devices) { devices_ = std::move(devices); }

signals:
    // After each request, with whether the drive took it.
    void CommandSent(const QString& command, bool taken);

private:
    void send(QStringView command);

    QStringList devices_;
};

}  // namespace corvan
