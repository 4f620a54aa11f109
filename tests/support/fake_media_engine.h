#pragma once

#include "engine/media_engine.h"

#include <QStringList>

namespace corvan::test {

// A MediaEngine that plays nothing: it keeps the values written to it, says
// what a real engine would refuse, and records each call in `calls` as one
// line ("FileName /a/b.mp3", "Play", "Volume -2400", ...) so tests can check
// the order of what the window asked for.
class FakeMediaEngine : public MediaEngine {
    Q_OBJECT

public:
    using MediaEngine::MediaEngine;

    bool SetFileName(const FilePath& path) override;
    FilePath FileName() const override { return filePath; }
    void Play() override
    {
        calls << QStringLiteral("Play");
        playing = true;
        paused = false;
    }
    void Pause() override
    {
        calls << QStringLiteral("Pause");
        playing = false;
        paused = open;
    }
    void Stop() override
    {
        calls << QStringLiteral("Stop");
        playing = false;
        paused = false;
    }
    PlayState State() const override
    {
        if (!open)
            return PlayState::Stopped;
        return playing ? PlayState::Playing : paused ? PlayState::Paused : PlayState::Stopped;
    }

    long Volume() const override { return volume; }
    bool SetVolume(long v) override;
    int Balance() const override { return balance; }
    void SetBalance(int b) override;
    double CurrentPosition() const override { return position; }
    bool SetCurrentPosition(double s) override;
    double Duration() const override { return duration; }
    double Rate() const override { return rate; }
    bool SetRate(double r) override;
    bool Mute() const override { return mute; }
    void SetMute(bool m) override;
    std::optional<QString> ClipTitle() const override;
    std::optional<QString> ClipAuthor() const override;

    // Raises EndOfStream as the real engine does at the end of a file.
    void finish() { emit EndOfStream(8); }

    // Gapless play as the real engine does it: the question shortly before
    // the end, then the answered file heard.
    void SetNextFile(NextFile n) override { next = std::move(n); }
    std::optional<FilePath> askNext() { return next ? next() : std::nullopt; }
    void join(const FilePath& path)
    {
        filePath = path;
        fileName = path.Text();
        position = 0;
        emit FileJoined();
    }
    NextFile next;

    // Calls of one kind ("FileName", "Volume", ...), in order, without the name.
    QStringList callsOf(const QString& kind) const;

    QStringList calls;
    FilePath filePath;
    QString fileName;  // as text
    bool open = false;
    bool playing = false;
    bool paused = false;
    long volume = 0;
    int balance = 0;
    double position = 0;
    double duration = 0;
    double rate = 1.0;
    bool mute = false;
    QString title;
    QString author;
    int rateWrites = 0;
};

}  // namespace corvan::test
