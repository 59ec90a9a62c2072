#pragma once
// A sound output for tests: records what the player asks of the device
// ("open <file name>", "play", "close") instead of making a sound, and can
// be told to behave as if there were no sound device.

#include "platform/AppError.h"
#include "platform/WavePlayer.h"

#include <QFileInfo>
#include <QStringList>

#include <functional>
#include <memory>

struct SoundLog
{
    QStringList calls;
    bool noDevice = false; // Open raises the no-device error
    // Called with the file name as each sound is opened (lets a test see
    // the program's state at the moment of the sound).
    std::function<void(const QString &)> onOpen;

    // The event names of the sounds played, in order ("onLoad", …).
    QStringList played() const
    {
        QStringList events;
        QString opened;
        for (const QString &c : calls) {
            if (c.startsWith(QStringLiteral("open ")))
                opened = QFileInfo(c.mid(5)).completeBaseName();
            else if (c == QStringLiteral("play"))
                events << opened;
        }
        return events;
    }
};

class RecordingSoundOutput : public SoundOutput
{
public:
    explicit RecordingSoundOutput(std::shared_ptr<SoundLog> log) : FLog(std::move(log)) {}
    void Open(std::shared_ptr<const SoundClip> clip) override
    {
        if (FLog->noDevice)
            throw SoundDeviceError(QStringLiteral("No sound device is available (test)"));
        FLog->calls << QStringLiteral("open ") + clip->fileName;
        if (FLog->onOpen)
            FLog->onOpen(clip->fileName);
        FClip = std::move(clip);
    }
    void Play() override { FLog->calls << QStringLiteral("play"); }
    void Close() override
    {
        FLog->calls << QStringLiteral("close");
        FClip.reset();
    }
    const SoundClip *clip() const { return FClip.get(); }

private:
    std::shared_ptr<SoundLog> FLog;
    std::shared_ptr<const SoundClip> FClip;
};
