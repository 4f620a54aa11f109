#pragma once

#include "engine/file_path.h"

#include <QComboBox>

namespace corvan {

// The mounted file systems that hold ordinary files, each as its mount
// point, followed by its volume label in brackets when it has one; "/"
// always among them. Reads the file system alone: any thread may ask.
QStringList MountedDrives();

// `Drive1`: the drives of MountedDrives, read when the list opens. It starts
// empty: Fill or Refill gives it its entries.
class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveListBox(QWidget* parent = nullptr);

    void Refill();
    // Shows `drives` (texts of MountedDrives), keeping the chosen one where
    // it is still among them, without emitting DriveChanged.
    void Fill(const QStringList& drives);
    // The chosen entry's text, for example "/media/stick [MUSIC]".
    QString Drive() const { return currentText(); }
    // Chooses the entry of `drive` (its text or its mount point); false when
    // there is none. A change of choice emits DriveChanged.
    bool SetDrive(const QString& drive);
    // Chooses, without emitting DriveChanged, the drive that holds `folder`.
    void ShowDriveOf(const FilePath& folder);
    // The same, for the drive whose mount point is `mountPoint`.
    void ShowDrive(const QString& mountPoint);

    // The mounts are read again each time the list opens, so a stick
    // plugged in meanwhile is offered.
    void showPopup() override;

signals:
    void DriveChanged(const QString& drive);
};

// The mount point part of a drive text ("/media/stick [MUSIC]" -> "/media/stick").
QString MountPointOf(const QString& driveText);
// The mount point that holds `folder`, as text; "/" when it cannot be told.
QString MountPointHolding(const FilePath& folder);

}  // namespace corvan
