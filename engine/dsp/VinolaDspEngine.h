#pragma once

#include "VinolaAmplifierModel.h"
#include "VinolaCableStage.h"
#include "VinolaCrackleGenerator.h"
#include "VinolaDuckingStage.h"
#include "VinolaHumStage.h"
#include "VinolaNoiseLoopStage.h"
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

    // The stages, in the order of the chain: they all take the sample rate once
    // (setSampleRate), clear on reset() what must not ring on, and process runs of frames.

    // Mains hum and amplifier noise, the part that bypasses the wet chain.
    VinolaHumStage humStage;
    float humNoisePair[2] = { 0.0f, 0.0f };

    // The vinyl-noise loop.
    VinolaNoiseLoopStage noiseLoop;

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

    /** Clears only the amplifier model's recursive filter state (its crossovers and tone
        cascades), the state that bursts when it meets a new sample rate. The delay lines, the
        smoothers' ramps and everything reset() leaves alone carry on. */
    void clearFilterState() noexcept;

    VinolaDspEngine (const VinolaDspEngine&) = delete;
    VinolaDspEngine& operator= (const VinolaDspEngine&) = delete;

private:
    static constexpr int chunkSize = 128;

    /** A smoother's values over the current run. An idle smoother's array keeps its target
        from run to run, so it is written again only when the target changes. */
    struct SmoothedRun
    {
        alignas (16) float values[chunkSize] = {};
        bool holdsTarget = false;
        float target = 0.0f;
        bool steady = false;   // the smoother was idle over this run: every value is its target

        /** The smoother's next count values. */
        void fill (VinolaParameterSmoother& smoother, int count) noexcept;
    };

    // The smoothed values of the current run, one array per smoother above.
    SmoothedRun scratchesRun, ampNoiseRun, vinylNoiseRun, humRun, inputGainRun, humFreqRun,
                needleQualityRun, ampQualityRun, cableQualityRun, outputGainRun, wobbleAmountRun, mixRun;

    /** Every smoother with its run's array. */
    struct SmootherAndRun
    {
        VinolaParameterSmoother* smoother;
        SmoothedRun* run;
    };
    const SmootherAndRun smoothedValues[12] = {
        { &scratches, &scratchesRun }, { &ampNoise, &ampNoiseRun }, { &vinylNoise, &vinylNoiseRun }, { &hum, &humRun },
        { &inputGain, &inputGainRun }, { &humFreq, &humFreqRun }, { &needleQuality, &needleQualityRun },
        { &ampQuality, &ampQualityRun }, { &cableQuality, &cableQualityRun }, { &outputGain, &outputGainRun },
        { &wobbleAmount, &wobbleAmountRun }, { &mix, &mixRun }
    };

    /** Every smoother's values of a run of count frames. */
    void fillSmoothedRuns (int count) noexcept;

    /** The three generators' crackles of a run, mixed per channel and scaled by SCRATCHES. */
    void renderCrackles (float running, float* left, float* right, int count) noexcept;

    /** The output mix of a run: OUTPUT GAIN acts on the wet part only. */
    void mixOutput (const float* const* humNoise, const float* const* wet, const float* const* dry,
                    float* const* outA, float* const* outB, int numChannels, int count) noexcept;

    /** The channels the last run processed: a second channel that comes back after runs
        without it starts from silence, not from what its filters and delay line held. */
    int channelsLastRun = 2;

    /** Up to chunkSize frames: input per channel in; the wet/dry part and the part that bypasses
        the wet chain out, per channel. */
    void renderChunk (const float* const* input, float* const* outA, float* const* outB, int numChannels,
                      int numFrames, bool running) noexcept;

    void buildRandomTables();
};
