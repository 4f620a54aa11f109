#pragma once

#include "form2_harness.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan::test {

// What the now-playing display and the queue show; compared whole so a
// command that writes one label too many is caught.
struct Display {
    QString Label1, Label4, Label2, Playing, Total;
    int selected;
    bool operator==(const Display&) const = default;
};

inline void PrintTo(const Display& d, std::ostream* os)
{
    *os << "{Label1 \"" << d.Label1.toStdString() << "\", Label4 \"" << d.Label4.toStdString() << "\", Label2 \""
        << d.Label2.toStdString() << "\", Playing \"" << d.Playing.toStdString() << "\", Total \""
        << d.Total.toStdString() << "\", selected " << d.selected << "}";
}

// A window whose queue is a fresh folder of (empty) media files, with the
// start-up calls cleared from the engine's record.
struct Queue {
    explicit Queue(const QStringList& names)
    {
        h.ShowFolder(dir.path(), names);
        h.engine.calls.clear();
    }

    QString Path(const QString& name) const { return dir.path() + u'/' + name; }
    QString Opened(const QString& name) const { return u"FileName "_qs + Path(name); }

    Display Now()
    {
        Form2Controls& c = h.c();
        return {c.Label1->text(),  c.Label4->text(), c.Label2->text(),
                c.Playing->text(), c.Total->text(),  c.File1->ListIndex()};
    }

    // A double-click start of `index`: Label2 then holds the queue length,
    // which arms the wrap to entry 0.
    void StartedByDoubleClick(int index)
    {
        h.c().File1->SetListIndex(index);
        emit h.c().File1->DoubleClicked();
        h.engine.calls.clear();
    }

    QTemporaryDir dir;
    Form2Harness h;
};

}  // namespace corvan::test
