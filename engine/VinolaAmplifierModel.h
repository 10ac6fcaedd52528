#pragma once

#include "Biquad4.h"
#include "VinolaCrossover.h"
#include "VinolaFloat4.h"

/** The wet path's amplifier: four-band crossover, drive, saturation and tone cascades, plus the
    time-aligned dry path. Holds both channels' filter state.

    Each band is driven, ducked, gets the vinyl noise and crackle added, and is saturated with a
    pre-gain and post-gain set by the needle quality; the weighted sum runs through four filters
    in series (low-pass, high-pass, high shelf, low shelf) set by the amp quality. The dry path is
    the recombined bands through the same four filters at neutral settings, so both paths carry
    the same delay of three frames: the four serial filters are pipelined into one four-lane
    biquad step per frame, the sample entering at lane 3 and leaving from lane 0.

    The saturation of a frame runs at the start of the next frame's call, just in time for the
    cascade step that first needs it; the cascade's arithmetic and timing are those of the plain
    order. The saturation's exponential is a single-precision polynomial. */
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

    // Read-only views of the frame preparation and the crossover, for tests and tools.
    VinolaFloat4 getPreGain() const noexcept        { return preGain; }
    VinolaFloat4 getPostGain() const noexcept       { return postGain; }
    float getDrive() const noexcept                 { return drive; }
    const Biquad4& getWetDesign() const noexcept    { return wetDesign; }
    const Biquad4& getDryDesign() const noexcept    { return dryDesign; }
    const VinolaCrossover& getCrossover() const noexcept { return crossover; }

    VinolaAmplifierModel (const VinolaAmplifierModel&) = delete;
    VinolaAmplifierModel& operator= (const VinolaAmplifierModel&) = delete;

private:
    /** The lane-3 (low-pass) coefficients of a tone design, as scalars. */
    struct LaneCoefficients { float b0, b1, b2, a1, a2; };

    /** A tone design split for the pipelined cascade: lanes 0 to 2 as a vector (lane 3 zeroed),
        lane 3 as scalars. */
    struct ToneDesign
    {
        Biquad4 firstThree;
        LaneCoefficients last;
        void set (const Biquad4& design) noexcept;
    };

    struct DesignSlot { ToneDesign wet, dry; };

    /** Four serial biquads pipelined across the lanes (transposed direct form II): lane 3
        (low-pass) takes the new sample, each lower lane takes the previous frame's output of the
        lane above, and lane 0 (low shelf) gives the output three frames later.

        Lane 3's step for frame n runs at the start of frame n + 1, before the other lanes' step
        for frame n + 1, which is the first to need its output; the arithmetic of every lane is
        unchanged. That takes the crossover and the saturation off each frame's critical path. */
    struct ToneCascade
    {
        VinolaFloat4 s1, s2, history;          // lanes 0..2; lane 3 stays 0
        float lastS1 = 0, lastS2 = 0, lastOut = 0;

        void stepLastLane (const LaneCoefficients& c, float x) noexcept
        {
            const float out = c.b0 * x + lastS1;
            lastS1 = (c.b1 * x - c.a1 * out) + lastS2;
            lastS2 = c.b2 * x - c.a2 * out;
            lastOut = out;
        }

        float stepFirstLanes (const Biquad4& c) noexcept
        {
            // Lane 0 of the step below, computed on its own from the state alone.
            const float out0 = c.b0.lane0() * VinolaFloat4::shuffle<1, 1, 1, 1> (history, history).lane0() + s1.lane0();

            const VinolaFloat4 in = VinolaFloat4::shuffle<1, 2, 0, 0> (history, VinolaFloat4::broadcast (lastOut));
            const VinolaFloat4 out = c.b0 * in + s1;
            s1 = (c.b1 * in - c.a1 * out) + s2;
            s2 = c.b2 * in - c.a2 * out;
            history = out;
            return out0;
        }

        void clear() noexcept
        {
            s1 = s2 = history = VinolaFloat4::zero();
            lastS1 = lastS2 = lastOut = 0.0f;
        }
    };

    /** What the saturation of a frame needs, kept until the next frame runs it. */
    struct PendingFrame
    {
        VinolaFloat4 bands[2], bandScale[2], noiseOffset[2], weightedPostGain;
        int numChannels = 0;
        int designSlot = 0;
    };

    void updateNeedleFactors (float needleQuality) noexcept;
    void updateDesigns (float ampQuality, float sampleRate) noexcept;

    VinolaCrossover crossover;
    ToneCascade wetCascade[2], dryCascade[2];
    Biquad4 wetDesign, dryDesign;
    DesignSlot designSlots[2];
    int currentSlot = 0;
    PendingFrame pending;
    VinolaFloat4 preGain, postGain, laneWeights, weightedPostGain;
    float drive = 1.0f;

    // Designs and needle factors are recomputed only when their inputs change: every output
    // sample stays the same, and a steady setting costs nothing per frame.
    bool needleValid = false, designValid = false;
    float designedNeedle = 0.0f, designedQuality = 0.0f, designedRate = 0.0f;
    VinolaFloat4 drySine, dryCosine;      // lanes 2 and 3: the dry pass filters' fixed angles
    float dryAnglesRate = 0.0f;
};
