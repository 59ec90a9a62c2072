// Run by with-null-sink.sh: PULSE_SERVER names a private server whose only
// sink is a null sink, so the whole output path runs as on a desktop.
#include "platform/AppError.h"
#include "platform/WavePlayer.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

QString ShippedSound(const char *event)
{
    return QStringLiteral(ZUMORIA_SOURCE_DIR) + "/data/Hangok/" + event + ".wav";
}

// Polls until the output reports the end of the sound (the null sink plays
// in real time, so a sound under a second ends well within the limit).
bool WaitForEnd(PulseSoundOutput &out)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (out.PlayedToEnd())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(PulseNullSink, PlaysEverySoundToItsEnd)
{
    auto output = std::make_unique<PulseSoundOutput>();
    PulseSoundOutput &out = *output;
    WavePlayer player(std::move(output));
    for (const char *event : {"onLoad", "onClose", "onSysTray", "onQuery", "onDelete",
                              "onMenuClick", "onPopup", "onSound"}) {
        ASSERT_NO_THROW(player.Open(ShippedSound(event))) << event;
        EXPECT_FALSE(out.PlayedToEnd()) << event;
        player.Play();
        EXPECT_TRUE(WaitForEnd(out)) << event;
    }
    // Played out, the same sound plays again from its start.
    player.Play();
    EXPECT_TRUE(WaitForEnd(out));
}

TEST(PulseNullSink, PlayReturnsAtOnceAndANewSoundCutsOffTheOldOne)
{
    auto output = std::make_unique<PulseSoundOutput>();
    PulseSoundOutput &out = *output;
    WavePlayer player(std::move(output));
    player.Open(ShippedSound("onClose")); // 0.8 s long
    const auto start = std::chrono::steady_clock::now();
    player.Play();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_FALSE(out.PlayedToEnd());
    player.Open(ShippedSound("onPopup"));
    player.Play();
    EXPECT_TRUE(WaitForEnd(out));
    player.Close();
    EXPECT_FALSE(out.PlayedToEnd());
}
