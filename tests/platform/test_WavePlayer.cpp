#include "platform/AppError.h"
#include "platform/WavePlayer.h"

#include "support/QtPrinters.h"
#include "support/RecordingSoundOutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/stat.h>

namespace {

QString ShippedSound(const QString &event)
{
    return QStringLiteral(ZUMORIA_SOURCE_DIR) + "/data/Hangok/" + event + ".wav";
}

QString ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.text();
    }
    return QString();
}

class WavePlayerTest : public ::testing::Test
{
protected:
    std::shared_ptr<SoundLog> log = std::make_shared<SoundLog>();
    WavePlayer player{std::make_unique<RecordingSoundOutput>(log)};
    QTemporaryDir dir;
};

} // namespace

TEST(SoundFiles, EveryEventHasAShortPlayableSound)
{
    for (const char *event : {"onLoad", "onClose", "onSysTray", "onQuery", "onDelete",
                              "onMenuClick", "onPopup", "onSound"}) {
        const auto clip = ReadSoundClip(ShippedSound(event));
        EXPECT_GT(clip->frames(), clip->sampleRate / 20) << event; // at least 50 ms
        EXPECT_LT(clip->frames(), clip->sampleRate * 3 / 2) << event; // under 1.5 s
        const auto loudest = std::max_element(clip->samples.begin(), clip->samples.end(),
                                              [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(*loudest), 8000) << event;  // audible
        EXPECT_LT(std::abs(*loudest), 32000) << event; // not clipped
    }
}

TEST_F(WavePlayerTest, EachSoundClosesThePreviousOneBeforeOpening)
{
    player.Play(); // nothing open: nothing happens
    player.Open(ShippedSound("onLoad"));
    player.Play();
    player.Open(ShippedSound("onPopup"));
    player.Play();
    EXPECT_EQ(log->calls, (QStringList{"open " + ShippedSound("onLoad"), "play", "close",
                                       "open " + ShippedSound("onPopup"), "play"}));
    EXPECT_EQ(log->played(), (QStringList{"onLoad", "onPopup"}));
}

TEST_F(WavePlayerTest, DecodesTheWholeFile)
{
    // A stereo 8 kHz file of 400 frames, a ramp on the left channel.
    const QString path = dir.path() + "/ramp.wav";
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    std::vector<short> frames(800);
    for (int i = 0; i < 400; ++i)
        frames[2 * i] = short(i * 10);
    sf_writef_short(f, frames.data(), 400);
    sf_close(f);

    auto output = std::make_unique<RecordingSoundOutput>(log);
    RecordingSoundOutput *raw = output.get();
    WavePlayer p(std::move(output));
    p.Open(path);
    ASSERT_NE(raw->clip(), nullptr);
    EXPECT_EQ(raw->clip()->sampleRate, 8000);
    EXPECT_EQ(raw->clip()->channels, 2);
    EXPECT_EQ(raw->clip()->frames(), 400);
    EXPECT_EQ(raw->clip()->samples[2 * 399], 3990);
}

TEST_F(WavePlayerTest, FailedOpensTellTheirCausesApartAndLeaveNothingOpen)
{
    const QString missing = dir.path() + "/Hangok/onLoad.wav";
    const QString text = dir.path() + "/onQuery.wav";
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("RIFF? no, just some words about jokes\n");
    }
    const QString fifo = dir.path() + "/fifo.wav";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    player.Open(ShippedSound("onLoad"));
    EXPECT_EQ(ErrorOf([&] { player.Open(missing); }), "Sound file not found: " + missing);
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(ErrorOf([&] { player.Open(dir.path()); }), "Sound file not found: " + dir.path());
    // A FIFO must not block the open: it is no regular file.
    EXPECT_EQ(ErrorOf([&] { player.Open(fifo); }), "Sound file not found: " + fifo);
    EXPECT_TRUE(ErrorOf([&] { player.Open(text); }).startsWith("Not a sound file: " + text + " ("));
    EXPECT_FALSE(player.IsOpen());
    log->noDevice = true;
    EXPECT_EQ(ErrorOf([&] { player.Open(ShippedSound("onLoad")); }), "No sound device is available (test)");
    EXPECT_FALSE(player.IsOpen());
    player.Play();
    // The first sound was closed before the first failing open; nothing was
    // played after it.
    EXPECT_EQ(log->calls, (QStringList{"open " + ShippedSound("onLoad"), "close"}));
}

TEST(PulseOutput, NoSoundServerIsNoSoundDevice)
{
    QTemporaryDir dir;
    const QByteArray old = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.path()) + "/no-server-here");
    WavePlayer player(MakePulseSoundOutput());
    const QString error = ErrorOf([&] { player.Open(ShippedSound("onPopup")); });
    old.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", old);
    EXPECT_TRUE(error.startsWith("No sound device is available (")) << error.toStdString();
    EXPECT_FALSE(player.IsOpen());
}
