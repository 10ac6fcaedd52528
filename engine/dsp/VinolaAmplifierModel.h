#pragma once

#include "Biquad4.h"
#include "VinolaCrossover.h"
#include "VinolaFloat4.h"
#include "VinolaKernels.h"

/** The wet path's amplifier: four-band crossover, drive, saturation and tone cascades, plus the
    time-aligned dry path. Holds both channels' filter state.

    Each band is driven, ducked, gets the vinyl noise and crackle added, and is saturated with a
    pre-gain and post-gain set by the needle quality; the weighted sum runs through four filters
    in series (low-pass, high-pass, high shelf, low shelf) set by the amp quality. The dry path is
    the recombined bands through the same four filters at neutral settings, so both paths carry
    the same delay of three frames: the four serial filters are pipelined, each filter taking the
    previous frame's output of the one before it, so a sample enters the low-pass and leaves the
    low shelf three frames later.

    A run of frames is processed in passes: the crossover over the whole run, then saturation and
    cascades frame by frame. One vector holds the same filter of all four cascades (wet and dry of
    both channels), so a frame costs four independent vector filter steps. The saturation's
    exponential is a single-precision polynomial. Where the CPU has AVX2 and FMA, the
    saturation runs both channels' bands as one eight-lane vector and the cascades use fused
    multiply-adds, in steady and per-frame runs alike, so a run's output never depends on how its
    frames were prepared. */
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

    /** All channels of one frame with the current preparation: input, ducking gain, vinyl noise
        and crackle per channel in; wet and dry per channel out. */
    void processFrame (const float* input, int numChannels, const float* duckingGain, const float* vinyl,
                       const float* crackle, float* wet, float* dry) noexcept;

    /** Per-frame smoothed values for processBlock's own preparation of each frame. */
    struct FrameControls
    {
        const float* needleQuality;
        const float* ampQuality;
        const float* inputGain;
        float sampleRate;
    };

    /** A run of frames, each prepared from `controls` first (or all with the current preparation
        when it is null). Per channel: input, ducking gain, vinyl noise and crackle in, one value
        per frame; wet and dry out. The same samples as processFrame frame by frame. */
    void processBlock (const FrameControls* controls, const float* const* input, int numChannels, int numFrames,
                       const float* const* duckingGain, const float* const* vinyl, const float* const* crackle,
                       float* const* wet, float* const* dry) noexcept;

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
    static constexpr int maxRun = 128;

    /** The four serial filters of all four cascades, one vector per filter (transposed direct
        form II): lanes { wet ch0, wet ch1, dry ch0, dry ch1 }; filter 3 is the low-pass that takes
        the new sample, filter 0 the low shelf that gives the output. */
    struct Cascades
    {
        VinolaFloat4 s1[4], s2[4], out[4];
    };

    struct CascadeDesign
    {
        VinolaFloat4 b0[4], b1[4], b2[4], a1[4], a2[4];
    };

    /** One frame of all four cascades with input x; returns the four outputs. */
    static VinolaFloat4 stepCascades (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept;
#if VINOLA_AVX2_KERNELS
    /** stepCascades with fused multiply-adds. */
    VINOLA_AVX2_TARGET static VinolaFloat4 stepCascadesAvx2 (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept;
#endif

    /** Puts the second channel's lanes back as they were (mono runs step all four lanes). */
    static void keepSecondChannel (Cascades& c, const Cascades& before) noexcept;

    /** Frames one by one, each prepared from controls if given; with checked, the finiteness
        check after every frame; with avx2, the AVX2+FMA frame arithmetic. */
    template <bool mono, bool checked, bool avx2>
    void runFrames (const FrameControls* controls, int count, const float* const* input,
                   const float* const* duckingGain, const float* const* vinyl, const float* const* crackle,
                   VinolaFloat4* bands0, VinolaFloat4* bands1, VinolaFloat4* outputs) noexcept;
    /** runFrames for a channel count and screen result, with the kernels of one width. */
    template <bool avx2>
    void runFramesOfWidth (bool mono, bool moderate, const FrameControls* controls, int count, const float* const* input,
                           const float* const* duckingGain, const float* const* vinyl, const float* const* crackle,
                           VinolaFloat4* bands0, VinolaFloat4* bands1, VinolaFloat4* outputs) noexcept;
    /** Frames with one preparation and no possible overflow: the cascade inputs of the whole run,
        then the cascades. */
    template <bool mono>
    void runSteadyFrames (int count, const float* const* duckingGain, const float* const* vinyl,
                          const float* const* crackle, const VinolaFloat4* bands0, const VinolaFloat4* bands1,
                          VinolaFloat4* outputs) noexcept;
    /** runSteadyFrames' work with the kernels of one width; written once, compiled into both
        (always inlined, so the AVX2 build runs with that target's instructions). */
    template <bool mono, bool avx2>
    __attribute__ ((always_inline)) void runSteadyFramesWith (int count, const float* const* duckingGain,
                                                              const float* const* vinyl, const float* const* crackle,
                                                              const VinolaFloat4* bands0, const VinolaFloat4* bands1,
                                                              VinolaFloat4* outputs) noexcept;
#if VINOLA_AVX2_KERNELS
    /** runSteadyFrames with eight-lane saturation (both channels' bands in one vector) and fused
        multiply-adds in the cascades, which shorten the recursion's latency per frame. */
    template <bool mono>
    VINOLA_AVX2_TARGET void runSteadyFramesAvx2 (int count, const float* const* duckingGain, const float* const* vinyl,
                                                 const float* const* crackle, const VinolaFloat4* bands0,
                                                 const VinolaFloat4* bands1, VinolaFloat4* outputs) noexcept;
#endif
    void runCrossover (const float* const* input, int numChannels, int offset, int count,
                       VinolaFloat4* bands0, VinolaFloat4* bands1) noexcept;
    bool stateIsModerate() const noexcept;

    void updateNeedleFactors (float needleQuality) noexcept;
    void updateDesigns (float ampQuality, float sampleRate) noexcept;

    VinolaCrossover crossover;
    Cascades cascades;
    Biquad4 wetDesign, dryDesign;
    CascadeDesign cascadeDesign;
    VinolaFloat4 preGain, postGain, laneWeights, weightedPostGain;
    float drive = 1.0f;

    // Designs and needle factors are recomputed only when their inputs change: every output
    // sample stays the same, and a steady setting costs nothing per frame.
    bool needleValid = false, designValid = false;
    float designedNeedle = 0.0f, designedQuality = 0.0f, designedRate = 0.0f;
    VinolaFloat4 drySine, dryCosine;      // lanes 2 and 3: the dry pass filters' fixed angles
    float dryAnglesRate = 0.0f;
};
