#pragma once

#include "fake_media_engine.h"
#include "paths.h"
#include "shell/form2.h"

#include <QStringList>
#include <QUrl>

#include <memory>

namespace corvan::test {

// A main window on the fake engine, with a desktop that answers from queues
// and records what the window asked of it.
struct Form2Harness {
    Form2Harness();
    ~Form2Harness();

    Form2Controls& c() { return form->Controls(); }
    Form2Menu& m() { return form->Menu(); }

    // Puts `names` (created empty) into `folder`, then shows that folder in
    // the folder and file lists.
    void ShowFolder(const QString& folder, const QStringList& names = {});

    FakeMediaEngine engine;
    QStringList openAnswers;  // answers of the open dialogs, first first; "" when empty
    QStringList saveAnswers;
    QStringList dialogs;   // "open|title|filter|dir" / "save|..."
    QStringList messages;  // "title|text"
    QList<QUrl> urls;
    int exits = 0;
    std::unique_ptr<Form2> form;
};

}  // namespace corvan::test
