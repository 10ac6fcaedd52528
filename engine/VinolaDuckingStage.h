#pragma once

#include <atomic>

/** Lowers the music while a crackle sounds: per channel, a hard-ratio compressor keyed by that
    channel's crackle signal drives a ducking gain, and the largest reduction feeds the meter. */
class VinolaDuckingStage
{
public:
    VinolaDuckingStage();

    /** One channel's pass for this frame; updates the channel's gain and raises the meter. */
    void process (int channel, float crackle, float duckingAmount, float inverseSampleRate,
                  std::atomic<float>& meter) noexcept;

    float gain (int channel) const noexcept { return duckingGain[channel]; }

private:
    float duckingGain[2] = { 1.0f, 1.0f };
};
