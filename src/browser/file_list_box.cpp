#include "browser/file_list_box.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace corvan {

QString JoinPath(const QString& folder, const QString& name)
{
    return folder + QLatin1Char('/') + name;
}

std::optional<QStringList> ListMatchingFiles(const QString& folder, const PatternList& pattern)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable())
        return std::nullopt;
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!name.startsWith(QLatin1Char('.')) && pattern.Matches(name))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

FileListBox::FileListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setMouseTracking(true);
    SetPattern(MediaPattern());
}

bool FileListBox::SetPath(const QString& folder)
{
    const auto names = ListMatchingFiles(folder, pattern_);
    if (!names)
        return false;
    path_ = folder;
    clear();
    addItems(*names);
    setCurrentRow(-1);
    return true;
}

void FileListBox::Refresh()
{
    SetPath(path_);
}

void FileListBox::SetPattern(const QString& patterns)
{
    patternText_ = patterns;
    pattern_ = PatternList(patterns);
    if (!path_.isEmpty())
        Refresh();
}

int FileListBox::ListIndex() const
{
    const int row = currentRow();
    return (row >= 0 && item(row) && item(row)->isSelected()) ? row : -1;
}

bool FileListBox::SetListIndex(int index)
{
    if (index < -1 || index >= count())
        return false;
    if (index == -1) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(index);
        scrollToItem(item(index));
    }
    return true;
}

QString FileListBox::Entry(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString FileListBox::SelectedName() const
{
    return Entry(ListIndex());
}

QString FileListBox::SelectedPath() const
{
    return JoinPath(path_, SelectedName());
}

void FileListBox::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        emit KeyTyped(event->text());
    QListWidget::keyPressEvent(event);
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::RightButton) {
        emit RightPressed(event->globalPosition().toPoint());
        return;
    }
    QListWidget::mousePressEvent(event);
}

void FileListBox::mouseMoveEvent(QMouseEvent* event)
{
    emit MouseMoved();
    QListWidget::mouseMoveEvent(event);
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
}

}  // namespace corvan
