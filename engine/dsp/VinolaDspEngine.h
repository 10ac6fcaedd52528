#pragma once

#include "VinolaAmplifierModel.h"
#include "VinolaCableStage.h"
#include "VinolaCrackleGenerator.h"
#include "VinolaDuckingStage.h"
#include "VinolaParameterSmoother.h"
#include "VinolaSampleBank.h"
#include "VinolaWobbleStage.h"

#include <atomic>
#include <memory>

/** The processor's per-sample DSP state and its frame function: hum, amplifier noise, the looped
    vinyl-noise bed and the three crackle generators around the wet chain of ducking, amplifier,
    wobble and cable, then the output mix. A plain record: the processor and the tests reach its
    state directly.

    Frames are rendered in runs of up to 128: each step of the chain runs over the whole run
    before the next (the recursive filters as tight loops, the rest four frames at a time where
    it can be), with every sample, random draw and state exactly as frame by frame. A single
    frame is a run of one. The runs keep about 26 kB of working arrays on the stack, and the
    smoothed parameter values of a run (6 kB) in the engine; longer runs would spread the
    per-run work thinner still but outgrow the first-level cache. */
struct VinolaDspEngine
{
    VinolaDspEngine();
    ~VinolaDspEngine();

    /** Largest gain reduction since the editor last read it; the editor reads and clears it. */
    std::atomic<float> duckingMeterLevel { 0.0f };

    // Mains hum.
    float humSampleRate = 44100.0f;
    float humInverseSampleRate = 1.0f / 44100.0f;
    float humFrequency = 50.0f;
    float humIncrement = (float) ((double) (50.0f * (1.0f / 44100.0f)) * 3.141592653589793 * 2.0);   // radians per frame
    float humPhase = 0.0f;   // radians, [0, 2 pi)

    // Vinyl-noise loop.
    double noiseLoopPosition = 0.0;   // seconds
    double noiseLoopStep = 1.0 / 44100.0;
    VinolaSampleBank noiseLoopBank;

    float humNoisePair[2] = { 0.0f, 0.0f };

    // Crackles and scratches: bank 1 feeds A, bank 2 feeds B and C; bank 3 is loaded but unread.
    VinolaSampleBank crackleBanks[3];
    VinolaCrackleGenerator crackleA, crackleB, crackleC;
    float cracklePair[2] = { 0.0f, 0.0f };

    // The wet chain's stages.
    VinolaDuckingStage ducking;
    VinolaAmplifierModel amp;
    VinolaWobbleStage wobble;
    VinolaCableStage cable;

    float sampleRate = 44100.0f;
    float inverseSampleRate = 1.0f / 44100.0f;

    // Smoothed values, ticked once per frame.
    VinolaParameterSmoother scratches, ampNoise, vinylNoise, hum, inputGain, humFreq,
                            needleQuality, ampQuality, cableQuality, outputGain, wobbleAmount, mix;

    float duckingAmount = 0.5f;   // unsmoothed
    float speedFactor = 1.0f;     // scales the loop step and the crackle rates; never changed

    static constexpr int randomTableSize = 65536;
    std::unique_ptr<float[]> cableContactTable, cableDropoutTable;

    /** Initialises and configures the three generators over the banks (call after the banks are
        filled) and gives them their rates for a SCRATCHES RATE of 0.5. */
    void initCrackleGenerators() noexcept;

    /** Event rates of the three generators from the SCRATCHES RATE value (0..1). */
    void setScratchesRate (float value) noexcept;

    /** Writes a new host sample rate into every stage. Allocates nothing and clears nothing.
        A rate that is not a positive finite number is ignored. */
    void setSampleRate (double newRate) noexcept;

    /** One sample frame. frameA holds the input on entry and the processed wet/dry signal on
        return; frameB receives the part of the output that bypasses the wet chain (hum and
        amplifier noise). The caller adds the two. numChannels is 0, 1 or 2. */
    void processFrame (float* frameA, float* frameB, int numChannels, bool running) noexcept;

    /** A run of frames in place: the same as processFrame on each frame, with the two parts of
        every output sample added (frameB + frameA). numChannels is 0, 1 or 2. */
    void processBlock (float* const* channels, int numChannels, int numSamples, bool running) noexcept;

    /** Snaps the smoothers and clears the filter and delay state. The hum phase, the loop
        position, the generators, the ducking gains and the random state keep running. */
    void reset() noexcept;

    VinolaDspEngine (const VinolaDspEngine&) = delete;
    VinolaDspEngine& operator= (const VinolaDspEngine&) = delete;

private:
    static constexpr int chunkSize = 128;
    static constexpr int numSmoothers = 12;

    /** The smoothers' values of the current run. An idle smoother's array keeps its target
        from run to run, so it is written again only when the target changes. */
    struct SmoothedRun
    {
        alignas (16) float values[chunkSize] = {};
        bool holdsTarget = false;
        float target = 0.0f;
    };
    SmoothedRun smoothedRuns[numSmoothers];

    /** Up to chunkSize frames: input per channel in; the wet/dry part and the part that bypasses
        the wet chain out, per channel. */
    void renderChunk (const float* const* input, float* const* outA, float* const* outB, int numChannels,
                      int numFrames, bool running) noexcept;

    void buildRandomTables();
};
