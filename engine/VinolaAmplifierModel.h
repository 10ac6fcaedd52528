#pragma once

/** The wet path's amplifier: four-band crossover, drive, saturation and tone cascades, plus the
    time-aligned dry path. Holds both channels' filter state. */
class VinolaAmplifierModel
{
public:
    VinolaAmplifierModel();
    ~VinolaAmplifierModel();

    /** Redesigns for a new host rate without allocating. */
    void setSampleRate (double sampleRate) noexcept;

    /** Zeroes every filter state and history. */
    void reset() noexcept;

    /** Per-frame preparation from the smoothed needle quality, amp quality and input gain. */
    void prepareFrame (float needleQuality, float ampQuality, float inputGain, float sampleRate) noexcept;

    /** All channels of one frame: input, ducking gain, vinyl noise and crackle per channel in;
        wet and dry per channel out. */
    void processFrame (const float* input, int numChannels, const float* duckingGain, const float* vinyl,
                       const float* crackle, float* wet, float* dry) noexcept;
};
