#pragma once

#include <QComboBox>

namespace corvan {

// `Drive1`: the mounted file systems that hold ordinary files, each shown as
// its mount point, followed by its volume label in brackets when it has one.
class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveListBox(QWidget* parent = nullptr);

    void Refill();
    // The chosen entry's text, for example "/media/stick [MUSIC]".
    QString Drive() const { return currentText(); }
    // Chooses the entry of `drive` (its text or its mount point); false when
    // there is none. A change of choice emits DriveChanged.
    bool SetDrive(const QString& drive);
    // Chooses, without emitting DriveChanged, the drive that holds `folder`.
    void ShowDriveOf(const QString& folder);

    // The mounts are read again each time the list opens, so a stick
    // plugged in meanwhile is offered.
    void showPopup() override;

signals:
    void DriveChanged(const QString& drive);
};

// The mount point part of a drive text ("/media/stick [MUSIC]" -> "/media/stick").
QString MountPointOf(const QString& driveText);
// The mount point that holds `folder`.
QString MountPointHolding(const QString& folder);

}  // namespace corvan
