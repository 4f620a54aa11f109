#include "playlist/queue_search_box.h"

#include "browser/file_list_box.h"
#include "playlist/queue_search.h"

namespace corvan {

QueueSearch::QueueSearch(QLineEdit* Text1, FileListBox* File1, QObject* parent)
    : QObject(parent)
    , text1_(Text1)
    , file1_(File1)
{
    connect(text1_, &QLineEdit::textChanged, this, &QueueSearch::Search);
}

void QueueSearch::Search()
{
    if (!text1_->window()->focusWidget())
        return;
    const auto found = FindQueueEntry(
        file1_->ListCount(), [this](int i) { return file1_->Entry(i); }, text1_->text());
    if (found)
        file1_->SetListIndex(*found);
}

void QueueSearch::OnClicked()
{
    text1_->setText(QString());
}

void QueueSearch::OnFocusLost()
{
    // A window keeps its focus widget while it is inactive or while a popup
    // menu has the keyboard; only a move to another control changes it.
    if (text1_->window()->focusWidget() == text1_)
        return;
    text1_->setText(Prompt());
}

}  // namespace corvan
