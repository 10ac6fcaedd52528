#pragma once

#include <atomic>

/** Lowers the music while a crackle sounds: per channel, a hard-ratio compressor keyed by that
    channel's crackle signal drives a ducking gain, and the largest reduction feeds the meter.

    Ratio 100:1 with a 0.1 dB knee; the threshold follows DUCKING from 0 dB down to -56 dB.
    The gain drops at once and recovers linearly at 70 to 120 gain units per second. */
class VinolaDuckingStage
{
public:
    VinolaDuckingStage();

    /** Takes a new sample rate (a positive finite one) into the recovery per frame. */
    void setSampleRate (double sampleRate) noexcept { inverseSampleRate = 1.0f / (float) sampleRate; }

    /** Nothing to clear: the gains recover on their own through a reset. */
    void reset() noexcept {}

    /** One channel's pass for this frame; updates the channel's gain and raises the meter. */
    void process (int channel, float crackle, float duckingAmount, std::atomic<float>& meter) noexcept;

    /** A run of frames of both channels side by side: per channel its crackle in and its gain
        after each frame out (a channel whose crackle pointer is null is left alone; a null gains
        pointer is not written). The same as process() frame by frame. */
    void processBlock (const float* const* crackle, float* const* gains, int numFrames, float duckingAmount,
                       std::atomic<float>& meter) noexcept;

    float gain (int channel) const noexcept { return duckingGain[channel]; }

    /** Gain reduction in dB (never positive) for a detector level and threshold, both in dB. */
    static float reductionDb (float levelDb, float thresholdDb) noexcept;

private:
    /** Recomputes the quiet magnitude when the amount has changed. */
    void updateQuietMagnitude (float duckingAmount) noexcept;

    /** The target gain for a crackle magnitude at or above the quiet one. */
    static float loudGain (float magnitude, float duckingAmount) noexcept;

    float duckingGain[2] = { 1.0f, 1.0f };
    float inverseSampleRate = 1.0f / 44100.0f;

    // Magnitudes below this lie surely under the knee for the cached amount: their gain is
    // exactly 1 and needs no logarithm or power.
    float cachedAmount = -1.0f;
    float quietMagnitude = 0.0f;
};
