#pragma once

#include <atomic>

/** The processor's per-sample DSP state and its frame function. */
struct VinolaDspEngine
{
    VinolaDspEngine();
    ~VinolaDspEngine();

    /** Largest gain reduction since the editor last read it; the editor reads and clears it. */
    std::atomic<float> duckingMeterLevel { 0.0f };

    float sampleRate = 44100.0f;
    float inverseSampleRate = 1.0f / 44100.0f;

    /** Writes a new host sample rate into every stage. Allocates nothing and clears nothing. */
    void setSampleRate (double newRate) noexcept;

    /** One sample frame. frameA holds the input on entry and the processed wet/dry signal on
        return; frameB receives the part of the output that bypasses the wet chain. The caller
        adds the two. numChannels is 0, 1 or 2. */
    void processFrame (float* frameA, float* frameB, int numChannels, bool running) noexcept;

    void reset() noexcept;

    VinolaDspEngine (const VinolaDspEngine&) = delete;
    VinolaDspEngine& operator= (const VinolaDspEngine&) = delete;
};
