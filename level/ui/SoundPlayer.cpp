#include "level/ui/SoundPlayer.h"

#include "level/WarningSound.h"

#include <QApplication>
#include <alsa/asoundlib.h>
#include <cerrno>
#include <mutex>

namespace parvane::level {

namespace {

// ALSA prints every failed lookup of its configuration (a dozen lines when a machine has no
// sound device); a missing device is normal here and the fallback covers it.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsaOnce() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(silentAlsaError); });
}

struct PcmCloser {
    void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
};

} // namespace

bool playPcmThroughAlsa(const std::string& device, std::span<const std::int16_t> samples,
                        int sampleRate, const std::atomic<bool>& stop,
                        std::chrono::milliseconds timeLimit) {
    using Clock = std::chrono::steady_clock;
    silenceAlsaOnce();
    if (sampleRate <= 0)
        return false;
    const auto deadline = Clock::now() + timeLimit;

    snd_pcm_t* raw = nullptr;
    if (snd_pcm_open(&raw, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    const std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
    // 100 ms of buffering: short enough that stopping is quick.
    if (snd_pcm_set_params(pcm.get(), SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                           static_cast<unsigned>(sampleRate), 1, 100000) < 0)
        return false;

    std::size_t done = 0;
    while (done < samples.size()) {
        if (stop.load())
            break;
        if (Clock::now() > deadline) {
            snd_pcm_drop(pcm.get());
            return false;
        }
        const snd_pcm_sframes_t written =
            snd_pcm_writei(pcm.get(), samples.data() + done, samples.size() - done);
        if (written == -EAGAIN) {
            snd_pcm_wait(pcm.get(), 20);
            continue;
        }
        if (written < 0) {
            if (snd_pcm_recover(pcm.get(), static_cast<int>(written), 1) < 0)
                return false;
            continue;
        }
        done += static_cast<std::size_t>(written);
    }
    if (stop.load()) {
        snd_pcm_drop(pcm.get());
        return true;
    }

    // A sound shorter than the buffer has not started by itself.
    if (snd_pcm_state(pcm.get()) == SND_PCM_STATE_PREPARED)
        snd_pcm_start(pcm.get());
    // Let the queued samples play out, without ever waiting past the limit.
    while (!stop.load() && Clock::now() < deadline) {
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_state(pcm.get()) != SND_PCM_STATE_RUNNING ||
            snd_pcm_delay(pcm.get(), &delay) < 0 || delay <= 0)
            break;
        const auto wait = std::chrono::milliseconds(
            std::min<snd_pcm_sframes_t>(20, delay * 1000 / sampleRate + 1));
        std::this_thread::sleep_for(wait);
    }
    snd_pcm_drop(pcm.get());
    return true;
}

SoundPlayer::SoundPlayer()
    : fallback_([] { QApplication::beep(); }), uiContext_(std::make_unique<QObject>()) {}

SoundPlayer::~SoundPlayer() {
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

bool SoundPlayer::play(std::vector<std::int16_t> samples, int sampleRate) {
    if (busy_.load())
        return false;
    if (worker_.joinable())
        worker_.join(); // the previous sound has ended; its thread is finishing
    busy_ = true;
    stop_ = false;
    // The limit covers slow devices: the sound's own length plus two seconds.
    const auto limit = std::chrono::milliseconds(
        static_cast<std::int64_t>(samples.size()) * 1000 / std::max(sampleRate, 1) + 2000);
    // The worker takes its own copies of the settings, so changing them later is safe.
    worker_ = std::thread([this, device = device_, fallback = fallback_,
                           samples = std::move(samples), sampleRate, limit] {
        const bool played = playPcmThroughAlsa(device, samples, sampleRate, stop_, limit);
        if (!played && !stop_.load() && fallback)
            QMetaObject::invokeMethod(uiContext_.get(), fallback, Qt::QueuedConnection);
        busy_ = false;
    });
    return true;
}

bool SoundPlayer::playWarningSound() {
    return play(synthesiseWarningSound(kWarningSampleRate), kWarningSampleRate);
}

void SoundPlayer::waitUntilFinished() {
    if (worker_.joinable())
        worker_.join();
}

} // namespace parvane::level
