#include "level/WarningSound.h"

#include "level/ui/SoundPlayer.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace parvane::level;

namespace {

int signChanges(std::span<const std::int16_t> samples) {
    int changes = 0;
    for (std::size_t i = 1; i < samples.size(); ++i)
        if ((samples[i] < 0) != (samples[i - 1] < 0))
            ++changes;
    return changes;
}

} // namespace

TEST(WarningSound, TenFallingTonesOf37Milliseconds) {
    const auto sound = synthesiseWarningSound();
    const int slot = toneSampleCount(37, 44100);
    ASSERT_EQ(slot, 1631);
    ASSERT_EQ(sound.size(), 10u * 1631u);

    int previous = 1 << 30;
    for (std::size_t s = 0; s < kWarningToneFrequencies.size(); ++s) {
        const std::span<const std::int16_t> tone(sound.data() + s * slot, slot);
        const int frequency = kWarningToneFrequencies[s];
        EXPECT_EQ(frequency, 195 - 15 * static_cast<int>(s));
        // A square wave changes sign twice per period.
        const double expected = 2.0 * frequency * slot / 44100.0;
        const int changes = signChanges(tone);
        EXPECT_LE(std::abs(changes - expected), 1.0) << frequency << " Hz: " << changes;
        EXPECT_LT(changes, previous);
        previous = changes;
        for (const std::int16_t v : tone)
            ASSERT_TRUE(v == kWarningAmplitude || v == -kWarningAmplitude);
        EXPECT_EQ(tone.front(), kWarningAmplitude); // each tone starts afresh
    }
}

TEST(WarningSound, ToneEdgeCases) {
    EXPECT_EQ(squareTone(440, 37, 8000, 100).size(), 296u);
    EXPECT_TRUE(squareTone(440, 0, 44100, 100).empty());
    EXPECT_TRUE(squareTone(440, -5, 44100, 100).empty());
    EXPECT_TRUE(squareTone(440, 37, 0, 100).empty());
    // Tones the rate cannot carry, and a zero frequency, are silence of the asked length.
    for (const int frequency : {0, -10, 22050, 30000}) {
        const auto tone = squareTone(frequency, 10, 44100, 100);
        ASSERT_EQ(tone.size(), 441u) << frequency;
        for (const std::int16_t v : tone)
            ASSERT_EQ(v, 0) << frequency;
    }
    // A long tone keeps its pitch: 1 s at 1000 Hz has 2000 half periods.
    EXPECT_NEAR(signChanges(squareTone(1000, 1000, 44100, 100)), 1999, 1);
}

TEST(SoundPlayer, AlsaOutputFailsQuietlyWithoutADevice) {
    const std::atomic<bool> stop{false};
    const auto sound = synthesiseWarningSound();
    testing::internal::CaptureStderr();
    const bool played = playPcmThroughAlsa("parvane_no_such_device", sound, 44100, stop,
                                           std::chrono::milliseconds(2000));
    const std::string noise = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(played);
    EXPECT_EQ(noise, "");

    // The null device takes everything at once.
    EXPECT_TRUE(playPcmThroughAlsa("null", sound, 44100, stop, std::chrono::milliseconds(2000)));
}

// How fast play() hands the work over, and how fast a missing device fails, is measured by
// bench_sound; here only what happens.
TEST(SoundPlayer, FallsBackOnTheCreatingThread) {
    SoundPlayer player;
    player.setDevice("parvane_no_such_device");
    int fallbacks = 0;
    Qt::HANDLE fallbackThread = nullptr;
    player.setFallback([&] {
        ++fallbacks;
        fallbackThread = QThread::currentThreadId();
    });
    EXPECT_TRUE(player.playWarningSound());
    player.waitUntilFinished();
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(fallbacks, 0); // queued for the event loop, not run on the worker
    QCoreApplication::processEvents();
    EXPECT_EQ(fallbacks, 1);
    EXPECT_EQ(fallbackThread, QThread::currentThreadId());

    // A device that plays needs no fallback.
    player.setDevice("null");
    EXPECT_TRUE(player.playWarningSound());
    player.waitUntilFinished();
    QCoreApplication::processEvents();
    EXPECT_EQ(fallbacks, 1);
}
