#include "fake_media_engine.h"

#include <QFileInfo>

namespace corvan::test {

bool FakeMediaEngine::SetFileName(const FilePath& path)
{
    calls << QStringLiteral("FileName ") + path.Text();
    filePath = path;
    fileName = path.Text();
    position = 0;
    open = !path.IsEmpty() && QFileInfo(QString::fromUtf8(path.Bytes())).isFile();
    playing = open;
    paused = false;
    return open;
}

bool FakeMediaEngine::SetVolume(long v)
{
    calls << QStringLiteral("Volume %1").arg(v);
    if (v < kVolumeMin || v > kVolumeMax)
        return false;
    volume = v;
    return true;
}

void FakeMediaEngine::SetBalance(int b)
{
    calls << QStringLiteral("Balance %1").arg(b);
    balance = qBound(kBalanceLeft, b, kBalanceRight);
}

bool FakeMediaEngine::SetCurrentPosition(double s)
{
    calls << QStringLiteral("CurrentPosition %1").arg(s);
    if (!open || s < 0 || s > duration)
        return false;
    position = s;
    return true;
}

bool FakeMediaEngine::SetRate(double r)
{
    if (r == rate)
        return true;
    ++rateWrites;
    calls << QStringLiteral("Rate %1").arg(r);
    rate = r;
    return true;
}

void FakeMediaEngine::SetMute(bool m)
{
    calls << QStringLiteral("Mute %1").arg(m ? 1 : 0);
    mute = m;
}

std::optional<QString> FakeMediaEngine::ClipTitle() const
{
    if (!open)
        return std::nullopt;
    return title;
}

std::optional<QString> FakeMediaEngine::ClipAuthor() const
{
    if (!open)
        return std::nullopt;
    return author;
}

QStringList FakeMediaEngine::callsOf(const QString& kind) const
{
    QStringList out;
    const QString prefix = kind + QLatin1Char(' ');
    for (const QString& c : calls) {
        if (c == kind)
            out << QString();
        else if (c.startsWith(prefix))
            out << c.mid(prefix.size());
    }
    return out;
}

}  // namespace corvan::test
