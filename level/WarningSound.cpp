#include "WarningSound.h"

namespace parvane::level {

int toneSampleCount(int milliseconds, int sampleRate) {
    if (milliseconds <= 0 || sampleRate <= 0)
        return 0;
    return static_cast<int>(static_cast<std::int64_t>(milliseconds) * sampleRate / 1000);
}

std::vector<std::int16_t> squareTone(int frequency, int milliseconds, int sampleRate,
                                     std::int16_t amplitude) {
    const int count = toneSampleCount(milliseconds, sampleRate);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count), 0);
    if (frequency <= 0 || 2 * static_cast<std::int64_t>(frequency) >= sampleRate)
        return samples;
    // The phase is counted in exact integers (sample x frequency modulo the rate), so every
    // half period has the right length on average and the tone never drifts.
    for (int i = 0; i < count; ++i) {
        const std::int64_t phase = static_cast<std::int64_t>(i) * frequency % sampleRate;
        samples[static_cast<std::size_t>(i)] =
            2 * phase < sampleRate ? amplitude : static_cast<std::int16_t>(-amplitude);
    }
    return samples;
}

std::vector<std::int16_t> synthesiseWarningSound(int sampleRate) {
    std::vector<std::int16_t> all;
    all.reserve(static_cast<std::size_t>(toneSampleCount(kWarningToneMilliseconds, sampleRate)) *
                kWarningToneFrequencies.size());
    for (const int frequency : kWarningToneFrequencies) {
        const auto tone =
            squareTone(frequency, kWarningToneMilliseconds, sampleRate, kWarningAmplitude);
        all.insert(all.end(), tone.begin(), tone.end());
    }
    return all;
}

} // namespace parvane::level
