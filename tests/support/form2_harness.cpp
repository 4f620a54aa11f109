#include "form2_harness.h"

#include <QDir>
#include <QFile>

namespace corvan::test {

Form2Harness::Form2Harness()
{
    Desktop d;
    d.openFileName = [this](const QString& title, const QString& filter, const QString& dir) {
        dialogs << QStringList{QStringLiteral("open"), title, filter, dir}.join(QLatin1Char('|'));
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    };
    d.saveFileName = [this](const QString& title, const QString& filter, const QString& dir) {
        dialogs << QStringList{QStringLiteral("save"), title, filter, dir}.join(QLatin1Char('|'));
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    };
    d.message = [this](const QString& title, const QString& text, QMessageBox::Icon) {
        messages << title + QLatin1Char('|') + text;
    };
    d.openUrl = [this](const QUrl& url) {
        urls << url;
        return true;
    };
    d.exitNow = [this] { ++exits; };
    form = std::make_unique<Form2>(engine, std::move(d));
    form->Load();
}

Form2Harness::~Form2Harness() = default;

void Form2Harness::ShowFolder(const QString& folder, const QStringList& names)
{
    QDir().mkpath(folder);
    for (const QString& n : names) {
        QFile f(folder + QLatin1Char('/') + n);
        f.open(QIODevice::WriteOnly);
    }
    c().Dir1->SetPath(FilePath::FromText(folder));
    c().File1->SetPath(FilePath::FromText(folder));
}

}  // namespace corvan::test
