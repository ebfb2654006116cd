// Sound output for the level window's warning: 16-bit PCM through ALSA's default device,
// off the user-interface thread, with the desktop's bell as the fallback.
#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace parvane::level {

// Plays mono 16-bit samples on the named ALSA device and returns once they have played,
// stop was raised, or the time limit ran out. Opening never waits for a busy device, and
// ALSA's own complaints are kept off stderr. False when the device does not open or fails.
bool playPcmThroughAlsa(const std::string& device, std::span<const std::int16_t> samples,
                        int sampleRate, const std::atomic<bool>& stop,
                        std::chrono::milliseconds timeLimit);

// Plays one sound at a time on a short-lived worker thread, so the user-interface thread is
// never held up by a slow or missing sound device. When the device cannot play, the fallback
// (by default the desktop's bell) runs on the thread that created the player.
class SoundPlayer {
public:
    SoundPlayer();
    // Stops a sound still playing and waits for the worker to end.
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts playing and returns at once. A request made while a sound still plays is
    // dropped (false): the warnings it would repeat are the same.
    bool play(std::vector<std::int16_t> samples, int sampleRate);
    // The ten falling warning tones.
    bool playWarningSound();

    bool isPlaying() const { return busy_.load(); }
    // Waits until the current sound has ended (used when a caller must be sure it is done).
    void waitUntilFinished();

    void setDevice(std::string device) { device_ = std::move(device); }
    void setFallback(std::function<void()> fallback) { fallback_ = std::move(fallback); }

private:
    std::string device_ = "default";
    std::function<void()> fallback_;
    std::unique_ptr<QObject> uiContext_; // receives the fallback on the creating thread
    std::thread worker_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> stop_{false};
};

} // namespace parvane::level
