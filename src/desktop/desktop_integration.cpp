#include "desktop/desktop_integration.h"

#include "desktop/desktop_log.h"
#include "desktop/mpris.h"
#include "desktop/open_in_window.h"
#include "desktop/player_bus.h"
#include "desktop/sleep_inhibitor.h"
#include "engine/media_engine.h"
#include "shell/after_exposed.h"
#include "shell/form2.h"

#include <QDBusError>

namespace corvan {

namespace {

// The paths of dropped URLs, escapes and all, so that a name that is not
// UTF-8 comes through as its bytes.
QList<FilePath> DroppedPaths(const QList<QUrl>& urls)
{
    QList<FilePath> paths;
    for (const QUrl& url : urls) {
        const FilePath path = FilePath::FromUri(url.toEncoded());
        if (!path.IsEmpty())
            paths << path;
    }
    return paths;
}

void Open(Form2& form, Mpris& mpris, const QList<FilePath>& paths)
{
    const OpenPlan plan = PlanOpening(paths);
    for (const QString& problem : plan.problems)
        qCWarning(lcDesktop) << "cannot open" << problem;
    OpenInWindow(form, plan);
    mpris.Refresh();
}

}  // namespace

void AttachToDesktop(Form2& form, QDBusConnection session)
{
    Mpris* mpris = WireMpris(form);
    QObject::connect(&form, &Form2::Dropped, mpris,
                     [&form, mpris](const QList<QUrl>& urls) { Open(form, *mpris, DroppedPaths(urls)); });

    // Reaching the buses takes round trips the first frame need not wait for.
    AfterExposed(form, [&form, mpris, session] {
        if (session.isConnected()) {
            if (!PublishMpris(*mpris, session))
                qCWarning(lcDesktop) << "the remote control could not be offered on the session bus:"
                                     << session.lastError().message();
            auto* player = new QObject(mpris);
            auto* adaptor = new PlayerBusAdaptor(player);
            QObject::connect(adaptor, &PlayerBusAdaptor::OpenRequested, mpris,
                             [&form, mpris](const QList<FilePath>& paths) { Open(form, *mpris, paths); });
            QDBusConnection bus = session;
            if (!bus.registerObject(kPlayerObjectPath.toString(), player, QDBusConnection::ExportAdaptors))
                qCWarning(lcDesktop) << "the player's interface could not be offered:" << bus.lastError().message();
        }
        auto* inhibitor = new SleepInhibitor(session, QDBusConnection::systemBus(), &form);
        MediaEngine& engine = form.Engine();
        QObject::connect(&form.Timer1(), &QTimer::timeout, inhibitor, [inhibitor, &engine] {
            inhibitor->SetPlaying(engine.State() == MediaEngine::PlayState::Playing);
        });
        QObject::connect(&form, &Form2::Unloading, inhibitor, [inhibitor] { inhibitor->SetPlaying(false); });
    });
}

}  // namespace corvan
