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
    biquad step per frame, the sample entering at lane 3 and leaving from lane 0. */
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
    /** Four serial biquads pipelined across the lanes (transposed direct form II). */
    struct ToneCascade
    {
        VinolaFloat4 s1, s2, history;

        float step (const Biquad4& c, float x) noexcept
        {
            // The output lane needs only the state from before this frame; computing it on its
            // own (the same product and sum as lane 0 of the vector step) keeps the frame's
            // output off the long path through the crossover and the saturation.
            const float out0 = c.b0.lane0() * VinolaFloat4::shuffle<1, 1, 1, 1> (history, history).lane0() + s1.lane0();

            const VinolaFloat4 in = VinolaFloat4::shiftDownInsert (history, x);
            const VinolaFloat4 out = c.b0 * in + s1;
            s1 = (c.b1 * in - c.a1 * out) + s2;
            s2 = c.b2 * in - c.a2 * out;
            history = out;
            return out0;
        }
    };

    void updateNeedleFactors (float needleQuality) noexcept;
    void updateDesigns (float ampQuality, float sampleRate) noexcept;

    VinolaCrossover crossover;
    ToneCascade wetCascade[2], dryCascade[2];
    Biquad4 wetDesign, dryDesign;
    VinolaFloat4 preGain, postGain, laneWeights, weightedPostGain;
    float drive = 1.0f;

    // Designs and needle factors are recomputed only when their inputs change: every output
    // sample stays the same, and a steady setting costs nothing per frame.
    bool needleValid = false, designValid = false;
    float designedNeedle = 0.0f, designedQuality = 0.0f, designedRate = 0.0f;
};
