#pragma once

#include "Biquad4.h"
#include "VinolaCrossover.h"
#include "VinolaFloat4.h"
#include "VinolaKernels.h"

#include <cmath>
#include <type_traits>

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

    /** Takes a new host rate (a positive finite one; anything else is ignored): the crossover
        is redesigned at once, the tone filters at the next preparation. Allocates nothing. */
    void setSampleRate (double sampleRate) noexcept;

    /** Zeroes every filter state and history. */
    void reset() noexcept;

    /** Zeroes the second channel's filter state and history. */
    void resetSecondChannel() noexcept;

    /** Per-frame preparation from the smoothed needle quality, amp quality and input gain, at
        the sample rate last set; the filter states follow a new tone design. */
    void prepareFrame (float needleQuality, float ampQuality, float inputGain) noexcept;

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

    /** The four serial filters of all four cascades, one vector per filter: lanes { wet ch0,
        wet ch1, dry ch0, dry ch1 }; filter 3 is the low-pass that takes the new sample, filter 0
        the low shelf that gives the output.

        Every filter runs direct form II, w = x - a1 z1 - a2 z2, y = b0 w + b1 z1 + b2 z2, written
        with the small sums of the edge it comes near, where a1 and a2 alone would lose them in
        single precision and the tone would change with the rate. s1 = z1 in every filter.
        The low shelf and the high-pass (filters 0 and 2) come down to a few hertz: s2 = u = z1 - z2,
        E = 1 + a1 + a2 and P = b0 + b1 + b2 (feedback, forward),
            u' = x + a2 u - E z1;   y = P z1 + b0 u' - b2 u;   z1' = z1 + u',
        and the high-pass, P = 0 and b2 = b0, gives y = b0 (u' - u). The high shelf and the
        low-pass (filters 1 and 3) go up to Nyquist: s2 = v = z1 + z2, F = 1 - a1 + a2 and
        R = b0 - b1 + b2,
            v' = x + F z1 - a2 v;   y = b0 v' + b2 v - R z1;   z1' = v' - z1,
        and the low-pass, R = 0 and b2 = b0, gives y = b0 (v' + v).

        A design change carries the states at the signal's level. With E = 1 + a1 + a2 and
        D = differenceScale = 2g / (1 + g (g + 1/Q)), g the prewarped frequency of the analogue
        prototype: tan(w0/2) for the pass filters, tan(w0/2) / sqrt(A) for the low shelf and
        tan(w0/2) sqrt(A) for the high shelf, A the square root of the shelf's linear gain (the
        low shelf's gain at DC and the high shelf's at Nyquist are A^2; see Biquad4), the
        trapezoidal state-variable filter of the same design has the states
            band-pass b = D (z1 - z2),   low-pass l = E/2 (z1 + z2),
        while z1 alone stands near x / E, far above the signal near DC: a new design that met
        z1 unchanged would turn it into a burst. From design (D, E) to (D', E') neither b nor l
        grows:
            (z1 - z2)' = (z1 - z2) min(1, D / D'),   (z1 + z2)' = (z1 + z2) min(1, E / E'),
        so a state keeps its level where the new scale is the larger (a rising cutoff, near DC),
        and otherwise its z1 - z2 or z1 + z2 stays and it shrinks with the new design: what a
        falling cutoff held between the two cutoffs does not linger at the new, slower rate and
        swell the tone. The one exception is the high-pass (filter 2), whose l keeps its DC,
            l' = dc + (l - dc) min(1, E' / E),
        dc the cascades' input averaged below about 1 Hz (the low-pass before the high-pass
        passes DC at unity gain), so that an offset makes no thump either. */
    struct Cascades
    {
        VinolaFloat4 s1[4], s2[4], out[4], dc;
    };

    /** Per filter and lane: the coefficients each form uses, and the scales D and E that carry
        its state across a design change (see Cascades). */
    struct CascadeDesign
    {
        VinolaFloat4 b0[4], a2[4], feedback[4];
        // The shelves' b2 and forward sums (P of the low shelf, R of the high shelf); the pass
        // filters need neither, their b2 being their b0.
        VinolaFloat4 b2[2], forward[2];
        VinolaFloat4 differenceScale[4];
        // E of every filter. The near-DC filters' (0 and 2) repeats their feedback; it is kept
        // for all four so that the carry treats every filter alike.
        VinolaFloat4 sumScale[4];
        VinolaFloat4 dcRate;   // the share of the input that `dc` takes each frame
    };

    /** What a design change multiplies each filter's s2 (own) and its other combination
        2 s1 - s2 (other) by, min(1, D / D') for z1 - z2 and min(1, E / E') for z1 + z2, and what
        it adds to the high-pass's z1 + z2 per unit of `dc`. */
    struct StateCarry
    {
        VinolaFloat4 own[4], other[4], highPassDc;
    };

    /** One frame of all four cascades with input x; returns the four outputs. */
    static VinolaFloat4 stepCascades (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept;

    /** Takes the cascades' states over to a new design (see Cascades). */
    static void carryStates (Cascades& c, const StateCarry& carry) noexcept;

    /** Puts the second channel's lanes back as they were (mono runs step all four lanes). */
    static void keepSecondChannel (Cascades& c, const Cascades& before) noexcept;

    /** Frames one by one, each prepared from controls if given; with checked, the finiteness
        check after every frame. cascadeInputOf (band0, band1, i) gives frame i's cascade input
        from its bands with the current preparation, and stepCascadesWith (c, x) steps the
        cascades c: the same frame arithmetic as the steady runs of the same kernels, so that a
        run gives the same samples however its frames are prepared. Written once here and
        compiled with each build of the kernels, so that both are inlined into the frame loop. */
    template <bool mono, bool checked, typename CascadeInput, typename CascadeStep>
    void runFrames (const FrameControls* controls, int count, const float* const* input, VinolaFloat4* bands0,
                    VinolaFloat4* bands1, VinolaFloat4* outputs, CascadeInput cascadeInputOf,
                    CascadeStep stepCascadesWith) noexcept
    {
        Cascades c = cascades;
        Cascades frozen = c;   // mono leaves the second channel's lanes as they were

        // After a reset the bands from frame crossedTo on are stale and are crossed again as they
        // are reached: one frame at first, then twice as many each time, so that a single bad sample
        // costs about the rest of the run twice. (Crossing the whole rest after every reset made a
        // run of bad input quadratic.) The crossover gives the same bits however a run is split.
        // A frame whose input is not finite would poison the crossover and be reset after it
        // anyway; its output comes from the cascades' earlier frames alone, so it is not crossed.
        int crossedTo = count, recrossLength = 1;
        bool cleared = false;   // the state is as the last reset left it

        for (int i = 0; i < count; ++i)
        {
            bool badInput = false;
            if (checked && i >= crossedTo)
            {
                badInput = ! (std::isfinite (input[0][i]) && (mono || std::isfinite (input[1][i])));
                if (badInput)
                {
                    bands0[i] = bands1[i] = VinolaFloat4::zero();
                }
                else
                {
                    const int length = recrossLength < count - i ? recrossLength : count - i;
                    runCrossover (input, mono ? 1 : 2, i, length, bands0, bands1);
                    crossedTo = i + length;
                    recrossLength *= 2;
                }
            }

            if (controls != nullptr && prepare (controls->needleQuality[i], controls->ampQuality[i], controls->inputGain[i]))
                carryStates (c, carry);

            if (checked && badInput && cleared)
            {
                // Cleared cascades step to exactly zero and would be cleared again: steadily bad
                // input costs next to nothing.
                outputs[i] = VinolaFloat4::zero();
                continue;
            }

            const VinolaFloat4 band0 = bands0[i], band1 = bands1[i];
            const VinolaFloat4 previousLast = c.out[3];
            // A bad frame's cascade input reaches only the state that the reset below clears, so
            // it is not worked out.
            stepCascadesWith (c, badInput ? VinolaFloat4::zero() : cascadeInputOf (band0, band1, i));
            if (mono)
                keepSecondChannel (c, frozen);
            outputs[i] = c.out[0];

            if (checked)
            {
                // A host that sends NaN or infinity would leave the recursive states poisoned for
                // good. Every state feeds these values within a frame or two, so one check covers
                // them all: this frame's bands, the first three filters' outputs per channel (wet
                // plus dry) and the low-pass output they took.
                const VinolaFloat4 p0 = c.out[0] + VinolaFloat4::swapHalves (c.out[0]);
                const VinolaFloat4 p1 = c.out[1] + VinolaFloat4::swapHalves (c.out[1]);
                const VinolaFloat4 p2 = c.out[2] + VinolaFloat4::swapHalves (c.out[2]);
                const VinolaFloat4 p3 = previousLast + VinolaFloat4::swapHalves (previousLast);
                const VinolaFloat4 u01 = VinolaFloat4::unpackLow (p0, p1), u2 = VinolaFloat4::unpackLow (p2, VinolaFloat4::zero());
                const VinolaFloat4 firstHistory = VinolaFloat4::shuffle<0, 1, 0, 1> (u01, u2);
                const VinolaFloat4 secondHistory = VinolaFloat4::shuffle<2, 3, 2, 3> (u01, u2);
                const VinolaFloat4 check = (band0 + band1) + firstHistory + secondHistory + VinolaFloat4::shuffle<0, 1, 0, 0> (p3, VinolaFloat4::zero());
                cleared = badInput || ! VinolaFloat4::allFinite (check);
                if (cleared)
                {
                    reset();
                    c = cascades;
                    frozen = c;
                    crossedTo = i + 1;
                    recrossLength = 1;
                }
            }
        }

        cascades = c;
    }

    /** runFrames for a channel count and screen result; cascadeInputFor (monoTag) gives the
        cascade input for a std::bool_constant of the channel layout (true: mono). */
    template <typename CascadeInputFor, typename CascadeStep>
    void runFramesOfLayout (bool mono, bool moderate, const FrameControls* controls, int count, const float* const* input,
                            VinolaFloat4* bands0, VinolaFloat4* bands1, VinolaFloat4* outputs,
                            CascadeInputFor cascadeInputFor, CascadeStep stepCascadesWith) noexcept
    {
        if (mono)
        {
            const auto inputOf = cascadeInputFor (std::true_type {});
            if (moderate)
                runFrames<true, false> (controls, count, input, bands0, bands1, outputs, inputOf, stepCascadesWith);
            else
                runFrames<true, true> (controls, count, input, bands0, bands1, outputs, inputOf, stepCascadesWith);
        }
        else
        {
            const auto inputOf = cascadeInputFor (std::false_type {});
            if (moderate)
                runFrames<false, false> (controls, count, input, bands0, bands1, outputs, inputOf, stepCascadesWith);
            else
                runFrames<false, true> (controls, count, input, bands0, bands1, outputs, inputOf, stepCascadesWith);
        }
    }

    /** runFramesOfLayout with the baseline kernels and with the AVX2 ones. */
    void runFramesBaseline (bool mono, bool moderate, const FrameControls* controls, int count, const float* const* input,
                            const float* const* duckingGain, const float* const* vinyl, const float* const* crackle,
                            VinolaFloat4* bands0, VinolaFloat4* bands1, VinolaFloat4* outputs) noexcept;
#if VINOLA_AVX2_KERNELS
    void runFramesAvx2 (bool mono, bool moderate, const FrameControls* controls, int count, const float* const* input,
                        const float* const* duckingGain, const float* const* vinyl, const float* const* crackle,
                        VinolaFloat4* bands0, VinolaFloat4* bands1, VinolaFloat4* outputs) noexcept;
#endif
    /** Frames with one preparation and no possible overflow: the cascade inputs of the whole run,
        then the cascades. */
    template <bool mono>
    void runSteadyFrames (int count, const float* const* duckingGain, const float* const* vinyl,
                          const float* const* crackle, const VinolaFloat4* bands0, const VinolaFloat4* bands1,
                          VinolaFloat4* outputs) noexcept;
#if VINOLA_AVX2_KERNELS
    // The AVX2+FMA kernels, in their own source file compiled for that instruction set: the
    // saturation runs both channels' bands as one eight-lane vector, and the cascades use fused
    // multiply-adds, which shorten the recursion's latency per frame.

    /** runSteadyFrames on the AVX2 kernels. */
    template <bool mono>
    void runSteadyFramesAvx2 (int count, const float* const* duckingGain, const float* const* vinyl,
                              const float* const* crackle, const VinolaFloat4* bands0, const VinolaFloat4* bands1,
                              VinolaFloat4* outputs) noexcept;

    /** stepCascades with fused multiply-adds. */
    static VinolaFloat4 stepCascadesAvx2 (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept;
#endif
    void runCrossover (const float* const* input, int numChannels, int offset, int count,
                       VinolaFloat4* bands0, VinolaFloat4* bands1) noexcept;
    bool stateIsModerate() const noexcept;

    /** prepareFrame without carrying the states: true when the tone designs changed, with
        `carry` set for the states to follow. */
    bool prepare (float needleQuality, float ampQuality, float inputGain) noexcept;
    void updateNeedleFactors (float needleQuality) noexcept;
    void updateDesigns (float ampQuality, float sampleRate) noexcept;

    VinolaCrossover crossover;
    Cascades cascades {};
    Biquad4 wetDesign, dryDesign;
    CascadeDesign cascadeDesign {};
    StateCarry carry;
    VinolaFloat4 preGain, postGain, laneWeights, weightedPostGain;
    float drive = 1.0f;

    // Designs and needle factors are recomputed only when their inputs change: every output
    // sample stays the same, and a steady setting costs nothing per frame.
    bool needleValid = false, designValid = false;
    float designedNeedle = 0.0f, designedQuality = 0.0f, designedRate = 0.0f;
    VinolaFloat4 drySine, dryCosine;      // lanes 2 and 3: the dry pass filters' fixed angles
    float dryAnglesRate = 0.0f;
};
