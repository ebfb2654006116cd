// The level window's warning sound: ten short tones falling from 195 Hz to 60 Hz, made as
// 16-bit PCM so that any audio output can play it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace parvane::level {

inline constexpr int kWarningSampleRate = 44100;
inline constexpr int kWarningToneMilliseconds = 37;
// Every multiple of 15 from 200 Hz down to 50 Hz, in the order played.
inline constexpr std::array<int, 10> kWarningToneFrequencies{195, 180, 165, 150, 135,
                                                             120, 105, 90,  75,  60};
// Peak of the square wave: a quarter of full scale, loud enough to notice, not to startle.
inline constexpr std::int16_t kWarningAmplitude = 8192;

// Number of samples one tone of the given length takes at the given rate (rounded down).
int toneSampleCount(int milliseconds, int sampleRate);

// A square wave of the given frequency, starting on its high half. Frequencies at or above
// half the sample rate, and non-positive arguments, give silence of the asked length (or
// nothing at all when the length is not positive).
std::vector<std::int16_t> squareTone(int frequency, int milliseconds, int sampleRate,
                                     std::int16_t amplitude);

// The whole warning: the ten tones one after the other, mono, 16-bit.
std::vector<std::int16_t> synthesiseWarningSound(int sampleRate = kWarningSampleRate);

} // namespace parvane::level
