#pragma once
// The wave player: plays one short sound file at a time, without waiting.
//
// Every sound takes three steps: close the previous sound (a sound still
// playing stops there), open the new file synchronously (read and decoded in
// full with libsndfile, then handed to the output device), play without
// waiting. Open raises AppError with a text that tells apart a missing file,
// a file that is no sound, and no sound device; the play step never reports.
//
// The device side sits behind SoundOutput, so tests replace it with a
// recording fake; the program uses PulseAudio (MakePulseSoundOutput).

#include "platform/AppError.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The error of an output that has no sound device to play on (no sound
// server, none answering): unlike a missing or broken file, it holds for
// every sound until something changes outside the program.
class SoundDeviceError : public AppError
{
public:
    using AppError::AppError;
};

// A decoded sound: interleaved signed 16-bit samples.
struct SoundClip
{
    QString fileName; // the file it was read from
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    std::int64_t frames() const { return channels > 0 ? std::int64_t(samples.size()) / channels : 0; }
};

// The audio device as the player sees it. All calls come from one thread.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Takes the device for the clip. Raises SoundDeviceError when there is no
    // sound device to play on. The clip stays alive until Close.
    virtual void Open(std::shared_ptr<const SoundClip> clip) = 0;
    // Starts the opened clip from its start and returns at once. Failures are
    // silent (no sound, no message).
    virtual void Play() = 0;
    // Stops the sound, if any, and releases the device. Never fails.
    virtual void Close() = 0;
};

class WavePlayer
{
public:
    explicit WavePlayer(std::unique_ptr<SoundOutput> output);
    ~WavePlayer(); // closes the device, cutting off a sound still playing

    WavePlayer(const WavePlayer &) = delete;
    WavePlayer &operator=(const WavePlayer &) = delete;

    // Closes the previous sound, then reads fileName and opens the device
    // for it. Raises AppError:
    //   "Sound file not found: <path>"       no regular file at the path
    //   "Not a sound file: <path> (<why>)"   libsndfile cannot read it as sound
    //   "No sound device is available (<why>)"  from the output (SoundDeviceError)
    // After a failure nothing is open.
    void Open(const QString &fileName);
    // Plays the open sound without waiting; does nothing when none is open.
    void Play();
    // Stops and releases the open sound, if any.
    void Close();

    bool IsOpen() const { return FOpen; }
    const QString &fileName() const { return FFileName; }
    SoundOutput &output() { return *FOutput; }

private:
    std::unique_ptr<SoundOutput> FOutput;
    QString FFileName;
    bool FOpen = false;
};

// Reads a whole sound file (any format libsndfile knows) into a clip.
// Raises AppError as WavePlayer::Open describes for the file itself.
std::shared_ptr<const SoundClip> ReadSoundClip(const QString &fileName);

// The PulseAudio output: talks to the user's sound server (PULSE_SERVER or
// the default), never spawns one, and gives up after a short wait when no
// server answers. Playback runs on libpulse's own thread.
class PulseSoundOutput : public SoundOutput
{
public:
    PulseSoundOutput();
    ~PulseSoundOutput() override;
    void Open(std::shared_ptr<const SoundClip> clip) override;
    void Play() override;
    void Close() override;

    // True once the server has played the open clip to its end.
    bool PlayedToEnd() const;

    struct State;

private:
    std::unique_ptr<State> FState;
};

std::unique_ptr<SoundOutput> MakePulseSoundOutput();

// The output the program's players use: PulseAudio unless a factory has been
// installed (tests install a recording fake for the whole program). Passing
// an empty factory restores PulseAudio; the previous factory is returned.
using SoundOutputFactory = std::function<std::unique_ptr<SoundOutput>()>;
SoundOutputFactory SetSoundOutputFactory(SoundOutputFactory factory);
std::unique_ptr<SoundOutput> MakeSoundOutput();
