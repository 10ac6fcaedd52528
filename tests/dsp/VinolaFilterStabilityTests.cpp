// Every recursive filter the engine designs must keep its poles strictly inside the unit circle,
// with a margin, for every setting at every rate a host may use: the coefficients are checked as
// the kernels hold them (single precision), the poles worked out in double. Near-DC designs at
// high rates put poles closer to z = 1 than single-precision coefficients can hold, and a pole
// just outside the circle makes the output grow without bound even from silence.
#include <gtest/gtest.h>

#include "VinolaAmplifierModel.h"
#include "VinolaCrossover.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
    constexpr double hostRates[] = { 22050, 32000, 44100, 48000, 88200, 96000, 128000, 176400,
                                     192000, 256000, 352800, 384000, 705600, 768000 };

    // How far inside the unit circle every pole must stay: enough that the rounding of a running
    // filter cannot reach the circle. The closest poles at 48 kHz (the 5 Hz low shelf) lie
    // 4.6e-4 inside.
    constexpr double radiusMargin = 1.0e-4;

    /** The largest pole radius of 1 + a1 z^-1 + a2 z^-2, in double (the products of two floats
        are exact there). */
    double poleRadius (double a1, double a2)
    {
        const double discriminant = a1 * a1 - 4.0 * a2;
        if (discriminant < 0.0)
            return std::sqrt (a2);
        const double root = std::sqrt (discriminant);
        return std::max (std::fabs (-a1 + root), std::fabs (-a1 - root)) * 0.5;
    }

    /** Every AMP QUALITY value of a fine grid over its range, and every float from 0.99 to 1,
        where the low shelf and the high-pass come down towards DC. */
    std::vector<float> ampQualitySweep()
    {
        std::vector<float> values;
        for (int i = 0; i <= 100000; ++i)
            values.push_back ((float) i / 100000.0f);
        for (float q = 0.99f; q <= 1.0f; q = std::nextafter (q, 2.0f))
            values.push_back (q);
        return values;
    }
}

TEST (FilterStability, ToneCascadesKeepEveryPoleInsideAtEveryRateAndAmpQuality)
{
    const auto sweep = ampQualitySweep();
    auto amp = std::make_unique<VinolaAmplifierModel>();

    for (double rate : hostRates)
    {
        amp->setSampleRate (rate);
        double worst[2][4] = {};
        float worstQ[2][4] = {};
        for (float q : sweep)
        {
            amp->prepareFrame (0.9f, q, 1.0f);
            const Biquad4* designs[2] = { &amp->getWetDesign(), &amp->getDryDesign() };
            for (int d = 0; d < 2; ++d)
                for (int lane = 0; lane < 4; ++lane)
                {
                    const double r = poleRadius (designs[d]->a1.get (lane), designs[d]->a2.get (lane));
                    if (! (r <= worst[d][lane]))
                    {
                        worst[d][lane] = r;
                        worstQ[d][lane] = q;
                    }
                }
        }

        for (int d = 0; d < 2; ++d)
            for (int lane = 0; lane < 4; ++lane)
            {
                EXPECT_LT (worst[d][lane], 1.0 - radiusMargin)
                    << (d == 0 ? "wet" : "dry") << " lane " << lane << " at " << rate << " Hz, AMP QUALITY " << worstQ[d][lane];
            }
    }
}

// The crossover's own splits, and any split a caller may ask for, from near DC to beyond Nyquist.
TEST (FilterStability, CrossoverKeepsEveryPoleInsideAtEveryRateAndSplit)
{
    for (double rate : hostRates)
        for (float split : { 300.0f, 1300.0f, 5000.0f, 1.0e-3f, 1.0f, 5.0f, 20.0f, 20000.0f, 1.0e6f })
            for (bool highPass : { false, true })
            {
                // The crossover's biquads run w = x + a1 z1 + a2 z2.
                const auto c = VinolaCrossover::designPair (split, (float) rate, highPass);
                const double r = poleRadius (-(double) c.a1, -(double) c.a2);
                EXPECT_LT (r, 1.0 - radiusMargin) << split << " Hz at " << rate << " Hz";
            }
}
