#pragma once

#include "VinolaCrossoverBiquad.h"
#include "VinolaFloat4.h"
#include "VinolaKernels.h"

/** Four-band phase-compensated crossover (fourth-order Linkwitz-Riley at 300, 1,300 and
    5,000 Hz by default) for the two channels of a frame at once.

    It is built from nine sections, each a low-pass and a high-pass pair of identical Butterworth
    biquads at one frequency:

        0 low-pass  -> low band        3 high-pass -> common path of bands 2..4
        1 all-pass on the low band     4 low-pass  -> band 2 split
        2 all-pass on the low band     5 all-pass on band 2
          (output band 1)                (output band 2)
        6 high-pass -> bands 3 and 4   7 low-pass  -> band 3     8 high-pass -> band 4

    The twelve pairs that run are grouped by depth into six four-lane units, both channels side
    by side, so a stereo frame costs twelve vector biquad steps. Runs go through the tree depth
    by depth over passes of frames; with the AVX2 kernels the units also run two at a time in
    eight-lane pairs (see processBlockAvx2). Values handed on to a further biquad that are
    exactly zero are replaced by 1e-6, so silence never decays into denormals. Holds no heap
    memory. */
class VinolaCrossover
{
public:
    static constexpr int numSections = 9;

    /** What every biquad adds to an input that is exactly zero, so that silence never decays
        into denormals. */
    static constexpr float zeroGuard = 1.0e-6f;

    /** Each section's split in Hz: the bands part at 300 Hz, 1.3 kHz and 5 kHz. */
    static constexpr float defaultSplitFrequencies[numSections] = {
        300.0f, 1300.0f, 5000.0f, 300.0f, 1300.0f, 5000.0f, 1300.0f, 5000.0f, 5000.0f
    };

    /** Designed at the default splits for 44.1 kHz, with every state at zero. */
    VinolaCrossover() noexcept;

    /** Designs every section for the current sample rate at its split frequency. */
    void setup() noexcept;

    /** Moves a section to a new frequency and redesigns it (both pairs where both run). */
    void setSplitFrequency (int section, float frequency) noexcept;

    /** Stores the host's rate and redesigns, so the bands split at the same frequencies at every
        rate. Keeps the filter state. Allocates nothing. */
    void setSampleRate (double newRate) noexcept;
    float getSampleRate() const noexcept { return sampleRate; }

    /** Zeroes every filter state. */
    void reset() noexcept;

    /** Zeroes the second channel's filter state. */
    void resetSecondChannel() noexcept;

    /** One frame: the sample of each channel in, each channel's four bands out (lane 0 = lowest). */
    void processFrame (float left, float right, VinolaFloat4& leftBands, VinolaFloat4& rightBands) noexcept;

    /** A run of frames; a null right channel runs the second channel's lanes on silence. */
    void processBlock (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                       VinolaFloat4* rightBands) noexcept;

    /** Whether every filter state is finite and below the limit in magnitude. */
    bool stateIsBelow (float limit) const noexcept;

    /** One sample of a single channel (runs the second channel's lanes on silence). */
    VinolaFloat4 processSample (float x) noexcept;

    /** The biquad of a section's pair at a split; splits are kept between lowestSplit and
        0.45 x the rate. */
    static VinolaCrossoverBiquad designPair (float frequency, float sampleRate, bool highPass) noexcept;

    /** The lowest split a caller can ask for, against nonsense such as 0 Hz: the filters
        realise any split from here up at every rate. */
    static constexpr float lowestSplit = 1.0f;

private:
    /** Two identical biquads in series on four lanes (lanes 0 and 1 run one pair's
        VinolaCrossoverBiquad on the two channels, lanes 2 and 3 another pair's). Direct form II,
        w = x + a1 z1 + a2 z2 and y = gain (w + b1 z1 + z2), with the state kept as z1 and its
        last step u = z1 - z2, both scaled by the gain (Z = gain z1, V = gain u):
            V' = gain x + c V - E Z;   y = p Z + V' - V;   Z' = Z + V'.
        Near DC a1 and a2 lie next to 2 and -1 and single precision cannot hold the small sums
        that place the poles; c and E are those small quantities, designed directly, so a split
        near DC is realised at any rate, and the rounding of the large Z reaches the output only
        scaled down by E. The gain's scaling keeps the states at the signal's level and costs no
        extra step. gainGuard is the gain times the silence guard. */
    struct PairUnit
    {
        VinolaFloat4 feedback, dcFeedback, gain, levelWeight, gainGuard;
        VinolaFloat4 z1a, ua, z1b, ub;
    };

    /** processBlock with the baseline kernels (processFrame is a run of one). */
    template <bool stereo>
    void processBlockBaseline (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                               VinolaFloat4* rightBands) noexcept;

#if VINOLA_AVX2_KERNELS
    /** processBlock with fused multiply-adds and eight-lane vectors: each depth of the section
        tree runs over the frames of a pass before the next, so the only dependence between
        consecutive frames is each filter's own state and the processor overlaps them, instead of
        waiting for a frame's whole chain of twelve biquads. Units 1 and 2 and units 3 and 4
        share a vector; unit 5 runs a pass behind, beside unit 0. In its own source file, compiled
        for AVX2 and FMA. */
    template <bool stereo>
    void processBlockAvx2 (const float* left, const float* right, int count,
                           VinolaFloat4* leftBands, VinolaFloat4* rightBands) noexcept;
#endif

    void designUnit (int unit, int lowSection, bool lowIsHighPass, int highSection, bool highIsHighPass) noexcept;
    void designSection (int section) noexcept;

    PairUnit units[6];
    float frequencies[numSections];
    float sampleRate = 44100.0f;
};
