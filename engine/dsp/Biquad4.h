#pragma once

#include "VinolaFloat4.h"

/** Coefficients of four different second-order filters, one per lane, normalised so that
    a0 = 1: H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).

    The lane types are fixed: 0 low shelf, 1 high shelf, 2 high-pass, 3 low-pass. The shelves
    use the gain (a linear factor; 1 gives an identity filter), the pass filters ignore it. */
class Biquad4
{
public:
    VinolaFloat4 b0, b1, b2, a1, a2;

    /** The lowest frequency a filter at this rate may be designed for: 5 Hz at 48 kHz, the
        lowest the tone filters reach there, and the same fraction of any other rate. A pole pair
        nearer to DC lies so close to z = 1 that single-precision coefficients cannot hold it:
        their rounding alone can put a pole on or outside the unit circle. Exact at 48 kHz, so
        nothing moves at the usual rates. */
    static float lowestDesignFrequency (float sampleRate) noexcept { return sampleRate / 9600.0f; }

    /** Designs all four lanes in one branch-free pass. No argument checks: the caller keeps every
        frequency below half its sample rate and every Q above 0. */
    static void design (Biquad4& result, VinolaFloat4 sampleRate, VinolaFloat4 frequency,
                        VinolaFloat4 q, VinolaFloat4 gain) noexcept;

    /** The two halves of design(), for callers that share angles between designs: the sine and
        cosine of each lane's design angle (2 pi f / fs for the shelves, pi f / fs for the pass
        filters), then the coefficients from them. */
    static void laneSinCos (VinolaFloat4 sampleRate, VinolaFloat4 frequency, VinolaFloat4& sine, VinolaFloat4& cosine) noexcept;
    static void designFromSinCos (Biquad4& result, VinolaFloat4 sine, VinolaFloat4 cosine,
                                  VinolaFloat4 q, VinolaFloat4 gain) noexcept;
};
