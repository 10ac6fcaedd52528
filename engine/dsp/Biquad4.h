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

    /** The sums at DC, 1 + a1 + a2 and b0 + b1 + b2, worked out from small quantities (the sine
        of the angle, the cosine's distance from 1) instead of from a1 and a2 themselves. Near DC,
        a1 and a2 lie next to -2 and 1 and their rounding swamps these sums, which place the poles
        and zeros: a filter that runs on them (see VinolaAmplifierModel) realises a design a few
        hertz above DC at any sample rate. */
    VinolaFloat4 dcFeedback, dcForward;

    /** The same sums at Nyquist, 1 - a1 + a2 and b0 - b1 + b2, for filters that come near it. */
    VinolaFloat4 nyquistFeedback, nyquistForward;

    /** 2 g / (1 + g (g + 1/Q)), g the bilinear prewarped frequency (scaled by the shelf's
        square-root gain). With it and half of dcFeedback, the direct form's state difference
        z1 - z2 and sum z1 + z2 become the band-pass and low-pass states of the trapezoidal
        state-variable filter of the same design: quantities at the signal's level that a filter
        keeps across a change of design, so that its output glides instead of jumping. */
    VinolaFloat4 differenceScale;

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
