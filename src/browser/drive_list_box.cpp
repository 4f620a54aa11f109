#include "browser/drive_list_box.h"

#include <QSignalBlocker>
#include <QStorageInfo>

#include <sys/stat.h>

namespace corvan {

namespace {

bool IsPseudoFileSystem(const QByteArray& type)
{
    static const QList<QByteArray> pseudo = {"proc",       "sysfs",    "devtmpfs", "devpts",  "cgroup",      "cgroup2",
                                             "securityfs", "debugfs",  "tracefs",  "pstore",  "bpf",         "mqueue",
                                             "hugetlbfs",  "configfs", "fusectl",  "autofs",  "binfmt_misc", "nsfs",
                                             "rpc_pipefs", "efivarfs", "squashfs", "overlay", "tmpfs",       "ramfs"};
    return pseudo.contains(type);
}

QString DriveText(const QStorageInfo& s)
{
    const QString root = s.rootPath();
    const QString label = s.name();
    return label.isEmpty() ? root : root + QStringLiteral(" [") + label + QLatin1Char(']');
}

}  // namespace

QString MountPointOf(const QString& driveText)
{
    const qsizetype bracket = driveText.indexOf(QStringLiteral(" ["));
    return bracket < 0 ? driveText : driveText.left(bracket);
}

QString MountPointHolding(const FilePath& folder)
{
    // Up from the folder while the parent lies on the same file system: the
    // last folder reached is where that file system is mounted.
    FilePath here = folder.Absolute();
    struct stat st {};
    if (here.IsEmpty() || ::stat(here.Bytes().constData(), &st) != 0)
        return QStringLiteral("/");
    while (here.Bytes() != "/") {
        const FilePath parent = here.Folder();
        struct stat up {};
        if (::stat(parent.Bytes().constData(), &up) != 0 || up.st_dev != st.st_dev)
            break;
        here = parent;
    }
    return here.Text();
}

QStringList MountedDrives()
{
    QStringList texts;
    QStringList roots;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady())
            continue;
        // "/" is kept whatever its type, so there is always a drive to show.
        if (s.rootPath() != QLatin1String("/") && IsPseudoFileSystem(s.fileSystemType()))
            continue;
        if (roots.contains(s.rootPath()))
            continue;
        roots << s.rootPath();
        texts << DriveText(s);
    }
    if (!roots.contains(QStringLiteral("/")))
        texts.prepend(QStringLiteral("/"));
    return texts;
}

DriveListBox::DriveListBox(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit DriveChanged(Drive()); });
}

void DriveListBox::Refill()
{
    Fill(MountedDrives());
}

void DriveListBox::Fill(const QStringList& drives)
{
    const QSignalBlocker block(this);
    const QString keep = currentText();
    clear();
    addItems(drives);
    const int i = findText(keep);
    setCurrentIndex(i >= 0 ? i : 0);
}

void DriveListBox::showPopup()
{
    Refill();
    QComboBox::showPopup();
}

bool DriveListBox::SetDrive(const QString& drive)
{
    int i = findText(drive);
    if (i < 0) {
        for (int k = 0; k < count(); ++k) {
            if (MountPointOf(itemText(k)) == MountPointOf(drive)) {
                i = k;
                break;
            }
        }
    }
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}

void DriveListBox::ShowDriveOf(const FilePath& folder)
{
    ShowDrive(MountPointHolding(folder));
}

void DriveListBox::ShowDrive(const QString& mountPoint)
{
    const QSignalBlocker block(this);
    SetDrive(mountPoint);
}

}  // namespace corvan
