#include "Biquad4.h"

void Biquad4::design (Biquad4& result, VinolaFloat4 sampleRate, VinolaFloat4 frequency,
                      VinolaFloat4 q, VinolaFloat4 gain) noexcept
{
    VinolaFloat4 sine, cosine;
    laneSinCos (sampleRate, frequency, sine, cosine);
    designFromSinCos (result, sine, cosine, q, gain);
}

void Biquad4::laneSinCos (VinolaFloat4 sampleRate, VinolaFloat4 frequency, VinolaFloat4& sine, VinolaFloat4& cosine) noexcept
{
    using F = VinolaFloat4;

    // The shelves work on w0 = 2 pi f / fs, the pass filters on half of it (tan of pi f / fs).
    const F halfAngle = frequency * F::broadcast (3.14159265f) / sampleRate;
    F::sinCos (halfAngle * F::set (2.0f, 2.0f, 1.0f, 1.0f), sine, cosine);
}

void Biquad4::designFromSinCos (Biquad4& result, VinolaFloat4 sine, VinolaFloat4 cosine,
                                VinolaFloat4 q, VinolaFloat4 gain) noexcept
{
    using F = VinolaFloat4;

    const F one = F::broadcast (1.0f);
    const F two = F::broadcast (2.0f);
    const F inverseQ = one / q;

    // Shelves. sigma = +1 (low shelf) or -1 (high shelf) folds the two formula sets into one:
    // the high shelf is the low shelf with cos w0 negated and b1, a1 negated.
    const F sigma = F::set (1.0f, -1.0f, 1.0f, 1.0f);
    const F A = F::sqrt (gain);
    const F rootASine = F::sqrt (A) * sine;
    const F t = rootASine * inverseQ;
    const F c = cosine * sigma;
    const F Ap1 = A + one;
    const F Am1 = A - one;
    const F Am1c = Am1 * c;
    const F Ap1c = Ap1 * c;
    const F shelfNorm = one / ((Ap1 + Am1c) + t);
    const F shelfB0 = A * ((Ap1 - Am1c) + t) * shelfNorm;
    const F shelfB1 = two * A * sigma * (Am1 - Ap1c) * shelfNorm;
    const F shelfB2 = A * ((Ap1 - Am1c) - t) * shelfNorm;
    const F shelfA1 = F::zero() - two * sigma * (Am1 + Ap1c) * shelfNorm;
    const F shelfA2 = ((Ap1 + Am1c) - t) * shelfNorm;
    // 1 + a1 + a2 is 4 (1 - cos) / n for the low shelf and A times that for the high shelf, and
    // the numerator at DC is the denominator's times the DC gain (A^2 and 1). 1 - cos is taken
    // as sin^2 / (1 + cos) near DC, where the cosine rounds to 1, and as it stands towards
    // Nyquist, where 1 + cos would cancel instead.
    const F isLowShelf = F::greaterThan (sigma, F::zero());
    const F oneMinusCos = F::select (F::greaterThan (cosine, F::zero()), sine * sine / (one + cosine), one - cosine);
    const F shelfDcFeedback = F::broadcast (4.0f) * oneMinusCos * shelfNorm * F::select (isLowShelf, one, A);
    const F shelfDcForward = shelfDcFeedback * F::select (isLowShelf, A * A, one);
    // At Nyquist the roles turn round: 4 (1 + cos) / n times A for the low shelf, whose gain
    // there is 1, and times 1 for the high shelf, whose gain there is A^2.
    const F onePlusCos = F::select (F::lessThan (cosine, F::zero()), sine * sine / (one - cosine), one + cosine);
    const F shelfNyquistFeedback = F::broadcast (4.0f) * onePlusCos * shelfNorm * F::select (isLowShelf, A, one);
    const F shelfNyquistForward = shelfNyquistFeedback * F::select (isLowShelf, one, A * A);

    // Pass filters. rho = +1 (high-pass, X = tan) or -1 (low-pass, X = 1 / tan).
    const F rho = F::set (1.0f, 1.0f, 1.0f, -1.0f);
    const F isHighPass = F::greaterThan (rho, F::zero());
    const F X = F::select (isHighPass, sine, cosine) / F::select (isHighPass, cosine, sine);
    const F X2 = X * X;
    const F XQ = X * inverseQ;
    const F passNorm = one / ((X2 + XQ) + one);
    const F passB1 = F::zero() - two * rho * passNorm;
    const F passA1 = two * rho * (X2 - one) * passNorm;
    const F passA2 = ((X2 - XQ) + one) * passNorm;
    // At DC: 4 X^2 / D for the high-pass (which passes none of it), 4 / D for the low-pass.
    const F passDcFeedback = F::broadcast (4.0f) * F::select (isHighPass, X2, one) * passNorm;
    const F passDcForward = F::select (isHighPass, F::zero(), passDcFeedback);
    // At Nyquist: 4 / D for the high-pass (which passes all of it), 4 X^2 / D for the low-pass.
    const F passNyquistFeedback = F::broadcast (4.0f) * F::select (isHighPass, one, X2) * passNorm;
    const F passNyquistForward = F::select (isHighPass, passNyquistFeedback, F::zero());

    const F isShelf = F::set (1.0f, 1.0f, 0.0f, 0.0f);
    const F shelfMask = F::greaterThan (isShelf, F::zero());
    result.b0 = F::select (shelfMask, shelfB0, passNorm);
    result.b1 = F::select (shelfMask, shelfB1, passB1);
    result.b2 = F::select (shelfMask, shelfB2, passNorm);
    result.a1 = F::select (shelfMask, shelfA1, passA1);
    result.a2 = F::select (shelfMask, shelfA2, passA2);
    result.dcFeedback = F::select (shelfMask, shelfDcFeedback, passDcFeedback);
    result.dcForward = F::select (shelfMask, shelfDcForward, passDcForward);
    result.nyquistFeedback = F::select (shelfMask, shelfNyquistFeedback, passNyquistFeedback);
    result.nyquistForward = F::select (shelfMask, shelfNyquistForward, passNyquistForward);
    // 2 g / N is 2 sqrt(A) sin w0 / n for either shelf and 2 X / D for either pass filter.
    result.differenceScale = two * F::select (shelfMask, rootASine * shelfNorm, X * passNorm);
}
