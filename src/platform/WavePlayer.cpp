#include "platform/WavePlayer.h"

#include "platform/AppError.h"

#include <QFile>
#include <QFileInfo>

#include <pulse/pulseaudio.h>
#include <sndfile.h>

#include <chrono>
#include <thread>
#include <utility>

namespace {

// Sounds are short; anything beyond this many samples is refused rather than
// read into memory.
constexpr sf_count_t MaxSamples = sf_count_t(32) * 1024 * 1024;
constexpr int MaxChannels = 8;
constexpr int MinRate = 1000;
constexpr int MaxRate = 384000;
// How long the player waits for the sound server to accept a connection or
// a stream before it reports that there is no sound device.
constexpr auto ServerWait = std::chrono::seconds(3);
constexpr pa_usec_t BufferLatencyUsec = 60 * 1000;

[[noreturn]] void NotASound(const QString &fileName, const QString &why)
{
    throw AppError(QStringLiteral("Not a sound file: %1 (%2)").arg(fileName, why));
}

[[noreturn]] void NoDevice(const QString &why)
{
    throw SoundDeviceError(QStringLiteral("No sound device is available (%1)").arg(why));
}

} // namespace

std::shared_ptr<const SoundClip> ReadSoundClip(const QString &fileName)
{
    // A FIFO or a device is no sound file and must not block the open.
    if (!QFileInfo(fileName).isFile())
        throw AppError(QStringLiteral("Sound file not found: %1").arg(fileName));

    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(fileName).constData(), SFM_READ, &info);
    if (!file)
        NotASound(fileName, QString::fromLocal8Bit(sf_strerror(nullptr)));
    struct Closer { SNDFILE *f; ~Closer() { sf_close(f); } } closer{file};

    if (info.channels < 1 || info.channels > MaxChannels)
        NotASound(fileName, QStringLiteral("%1 channels").arg(info.channels));
    if (info.samplerate < MinRate || info.samplerate > MaxRate)
        NotASound(fileName, QStringLiteral("sample rate %1").arg(info.samplerate));
    if (info.frames < 0 || info.frames > MaxSamples / info.channels)
        NotASound(fileName, QStringLiteral("too long"));

    auto clip = std::make_shared<SoundClip>();
    clip->fileName = fileName;
    clip->sampleRate = info.samplerate;
    clip->channels = info.channels;
    clip->samples.resize(size_t(info.frames) * size_t(info.channels));
    const sf_count_t read = sf_readf_short(file, clip->samples.data(), info.frames);
    clip->samples.resize(size_t(std::max<sf_count_t>(read, 0)) * size_t(info.channels));
    return clip;
}

WavePlayer::WavePlayer(std::unique_ptr<SoundOutput> output) : FOutput(std::move(output)) {}

WavePlayer::~WavePlayer()
{
    Close();
}

void WavePlayer::Close()
{
    if (FOpen)
        FOutput->Close();
    FOpen = false;
}

void WavePlayer::Open(const QString &fileName)
{
    Close();
    FFileName = fileName;
    FOutput->Open(ReadSoundClip(fileName));
    FOpen = true;
}

void WavePlayer::Play()
{
    if (FOpen)
        FOutput->Play();
}

// ---------------------------------------------------------------------------
// PulseAudio output. libpulse runs its own thread (threaded main loop); every
// access to the shared state below happens with the loop's lock held.

struct PulseSoundOutput::State
{
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    pa_stream *stream = nullptr;
    std::shared_ptr<const SoundClip> clip;
    size_t offset = 0; // bytes of the clip handed to the server
    bool drainRequested = false;
    bool playedToEnd = false;
};

namespace {

using State = PulseSoundOutput::State;

class LoopLock
{
public:
    explicit LoopLock(pa_threaded_mainloop *loop) : FLoop(loop) { pa_threaded_mainloop_lock(FLoop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(FLoop); }
    LoopLock(const LoopLock &) = delete;
    LoopLock &operator=(const LoopLock &) = delete;

private:
    pa_threaded_mainloop *FLoop;
};

// Waits (lock held, released while sleeping) until settled() holds or the
// server wait has passed.
template <class Pred>
void WaitUntil(State &st, Pred settled)
{
    const auto deadline = std::chrono::steady_clock::now() + ServerWait;
    while (!settled() && std::chrono::steady_clock::now() < deadline) {
        pa_threaded_mainloop_unlock(st.loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(st.loop);
    }
}

QString PulseError(State &st)
{
    return QString::fromUtf8(pa_strerror(st.context ? pa_context_errno(st.context) : PA_ERR_CONNECTIONREFUSED));
}

void OnDrained(pa_stream *s, int success, void *userdata)
{
    auto &st = *static_cast<State *>(userdata);
    if (s == st.stream && success)
        st.playedToEnd = true;
}

// Hands the server up to nbytes more of the clip; once all of it is there,
// asks to be told when it has been played out.
void Feed(State &st, pa_stream *s, size_t nbytes)
{
    if (s != st.stream || !st.clip)
        return;
    const size_t frameBytes = size_t(st.clip->channels) * sizeof(std::int16_t);
    const size_t total = st.clip->samples.size() * sizeof(std::int16_t);
    size_t n = std::min(nbytes, total - st.offset);
    n -= n % frameBytes;
    if (n > 0) {
        const auto *bytes = reinterpret_cast<const char *>(st.clip->samples.data());
        if (pa_stream_write(s, bytes + st.offset, n, nullptr, 0, PA_SEEK_RELATIVE) == 0)
            st.offset += n;
    }
    if (st.offset == total && !st.drainRequested) {
        st.drainRequested = true;
        if (pa_operation *op = pa_stream_drain(s, OnDrained, &st))
            pa_operation_unref(op);
    }
}

void OnWritable(pa_stream *s, size_t nbytes, void *userdata)
{
    Feed(*static_cast<State *>(userdata), s, nbytes);
}

void DropContext(State &st)
{
    if (!st.context)
        return;
    pa_context_disconnect(st.context);
    pa_context_unref(st.context);
    st.context = nullptr;
}

// Connects to the sound server unless a live connection is there already.
void EnsureContext(State &st)
{
    if (st.context && pa_context_get_state(st.context) == PA_CONTEXT_READY)
        return;
    DropContext(st);
    pa_proplist *props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Zumoria");
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
    st.context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(st.loop), "Zumoria", props);
    pa_proplist_free(props);
    if (!st.context)
        NoDevice(QStringLiteral("cannot create a sound server connection"));
    if (pa_context_connect(st.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        const QString why = PulseError(st);
        DropContext(st);
        NoDevice(why);
    }
    WaitUntil(st, [&] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(st.context))
                               || pa_context_get_state(st.context) == PA_CONTEXT_READY; });
    if (pa_context_get_state(st.context) != PA_CONTEXT_READY) {
        const QString why = PA_CONTEXT_IS_GOOD(pa_context_get_state(st.context))
                                ? QStringLiteral("the sound server does not answer")
                                : PulseError(st);
        DropContext(st);
        NoDevice(why);
    }
}

void DropStream(State &st)
{
    pa_stream *s = st.stream;
    st.stream = nullptr; // callbacks of the old stream now see a stranger
    st.clip.reset();
    st.offset = 0;
    st.drainRequested = false;
    st.playedToEnd = false;
    if (!s)
        return;
    pa_stream_set_write_callback(s, nullptr, nullptr);
    pa_stream_disconnect(s);
    pa_stream_unref(s);
}

} // namespace

PulseSoundOutput::PulseSoundOutput() : FState(std::make_unique<State>()) {}

PulseSoundOutput::~PulseSoundOutput()
{
    if (!FState->loop)
        return;
    {
        LoopLock lock(FState->loop);
        DropStream(*FState);
        DropContext(*FState);
    }
    pa_threaded_mainloop_stop(FState->loop);
    pa_threaded_mainloop_free(FState->loop);
}

void PulseSoundOutput::Open(std::shared_ptr<const SoundClip> clip)
{
    State &st = *FState;
    if (!st.loop) {
        st.loop = pa_threaded_mainloop_new();
        if (!st.loop || pa_threaded_mainloop_start(st.loop) < 0) {
            if (st.loop)
                pa_threaded_mainloop_free(st.loop);
            st.loop = nullptr;
            NoDevice(QStringLiteral("cannot start the sound thread"));
        }
    }
    LoopLock lock(st.loop);
    DropStream(st);
    EnsureContext(st);

    pa_sample_spec spec{PA_SAMPLE_S16NE, uint32_t(clip->sampleRate), uint8_t(clip->channels)};
    pa_channel_map map;
    pa_channel_map_init_extend(&map, spec.channels, PA_CHANNEL_MAP_DEFAULT);
    const QByteArray name = QFileInfo(clip->fileName).fileName().toUtf8();
    pa_stream *s = pa_stream_new(st.context, name.constData(), &spec, &map);
    if (!s)
        NoDevice(PulseError(st));
    st.stream = s;
    st.clip = std::move(clip);
    pa_stream_set_write_callback(s, OnWritable, &st);
    // Event sounds want to be heard at once: ask for a short buffer.
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(pa_usec_to_bytes(BufferLatencyUsec, &spec));
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_playback(s, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        const QString why = PulseError(st);
        DropStream(st);
        NoDevice(why);
    }
    WaitUntil(st, [&] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(s))
                               || pa_stream_get_state(s) == PA_STREAM_READY; });
    if (pa_stream_get_state(s) != PA_STREAM_READY) {
        const QString why = PA_STREAM_IS_GOOD(pa_stream_get_state(s))
                                ? QStringLiteral("the sound server does not answer")
                                : PulseError(st);
        DropStream(st);
        NoDevice(why);
    }
}

void PulseSoundOutput::Play()
{
    State &st = *FState;
    if (!st.loop)
        return;
    LoopLock lock(st.loop);
    if (!st.stream)
        return;
    if (st.playedToEnd) {
        // Played out before: start again from the beginning.
        st.offset = 0;
        st.drainRequested = false;
        st.playedToEnd = false;
        const size_t writable = pa_stream_writable_size(st.stream);
        if (writable != size_t(-1))
            Feed(st, st.stream, writable);
    }
    if (pa_operation *op = pa_stream_cork(st.stream, 0, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseSoundOutput::Close()
{
    State &st = *FState;
    if (!st.loop)
        return;
    LoopLock lock(st.loop);
    DropStream(st);
}

bool PulseSoundOutput::PlayedToEnd() const
{
    State &st = *FState;
    if (!st.loop)
        return false;
    LoopLock lock(st.loop);
    return st.playedToEnd;
}

std::unique_ptr<SoundOutput> MakePulseSoundOutput()
{
    return std::make_unique<PulseSoundOutput>();
}

namespace {
SoundOutputFactory &InstalledFactory()
{
    static SoundOutputFactory factory;
    return factory;
}
} // namespace

SoundOutputFactory SetSoundOutputFactory(SoundOutputFactory factory)
{
    return std::exchange(InstalledFactory(), std::move(factory));
}

std::unique_ptr<SoundOutput> MakeSoundOutput()
{
    const SoundOutputFactory &factory = InstalledFactory();
    return factory ? factory() : MakePulseSoundOutput();
}
