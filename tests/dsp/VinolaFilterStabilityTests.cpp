// Every recursive filter the engine runs must realise the poles of its design, strictly inside the
// unit circle, for every setting at every rate a host may use. The poles are worked out in double
// from the single-precision coefficients the kernels hold and compared with the design's exact
// poles. Near DC at high rates those poles lie within 1e-5 of z = 1: the usual coefficient forms
// cannot place them in single precision (the tone moves with the rate), and a pole pushed outside
// the circle makes the output grow without bound even from silence.
#include <gtest/gtest.h>

#include "Biquad4Reference.h"
#include "VinolaAmplifierModel.h"
#include "VinolaCrossover.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace
{
    constexpr double hostRates[] = { 22050, 32000, 44100, 48000, 88200, 96000, 128000, 176400,
                                     192000, 256000, 352800, 384000, 705600, 768000 };

    using Poles = std::array<std::complex<double>, 2>;

    /** The roots of z^2 + a1 z + a2. */
    Poles poles (double a1, double a2)
    {
        const auto root = std::sqrt (std::complex<double> (a1 * a1 - 4.0 * a2));
        return { (-a1 + root) * 0.5, (-a1 - root) * 0.5 };
    }

    /** The poles of the recursion the near-DC filters run, u' = x + a2 u - E z1, z1' = z1 + u':
        z^2 - (1 + a2 - E) z + a2. */
    Poles nearDcPoles (float a2, float E)
    {
        return poles (-(1.0 + (double) a2 - (double) E), (double) a2);
    }

    /** How far the running poles miss the designed ones, relative to each designed pole's
        distance from z = 1 (which sets its frequency); infinite when one is not strictly inside. */
    double miss (const Poles& running, const Poles& designed)
    {
        double largest = 0.0;
        for (int i = 0; i < 2; ++i)
        {
            if (! (std::abs (running[i]) < 1.0))
                return INFINITY;
            largest = std::max (largest, std::abs (running[i] - designed[i]) / std::abs (1.0 - designed[i]));
        }
        return largest;
    }

    constexpr double allowedMiss = 0.01;

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

TEST (FilterStability, ToneCascadesRealiseTheirPolesAtEveryRateAndAmpQuality)
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
            // The designs the amplifier asks for (the upper filters kept below Nyquist).
            const double top = 0.499 * rate, q2 = (double) (q * q), g = 0.9 * q + 0.1;
            const double lowShelf = q * -295.0f + 300.0f, highShelf = std::min (2000.0 + 17000.0 * q2, top);
            const double wet[4][2] = { { lowShelf, g }, { highShelf, g }, { 200.0 - 190.0 * q, 0 }, { std::min (4000.0 + 17000.0 * q2, top), 0 } };
            const double dry[4][2] = { { lowShelf, 1 }, { highShelf, 1 }, { 10.0, 1 }, { std::min (22000.0, top), 1 } };
            const Biquad4* running[2] = { &amp->getWetDesign(), &amp->getDryDesign() };
            for (int d = 0; d < 2; ++d)
                for (int lane = 0; lane < 4; ++lane)
                {
                    const auto* design = d == 0 ? wet[lane] : dry[lane];
                    const auto exact = reference (lane, rate, design[0], 0.707f, design[1]);
                    // The low shelf and the high-pass run the form that carries the sums at DC, the
                    // others its mirror image at Nyquist, v' = x + F z1 - a2 v, z1' = v' - z1.
                    const float a2 = running[d]->a2.get (lane), F = running[d]->nyquistFeedback.get (lane);
                    const auto runningPoles = lane % 2 == 0 ? nearDcPoles (a2, running[d]->dcFeedback.get (lane)) : poles (1.0 + a2 - F, a2);
                    const double m = miss (runningPoles, poles (exact.a1, exact.a2));
                    if (! (m <= worst[d][lane]))
                    {
                        worst[d][lane] = m;
                        worstQ[d][lane] = q;
                    }
                }
        }

        for (int d = 0; d < 2; ++d)
            for (int lane = 0; lane < 4; ++lane)
                EXPECT_LT (worst[d][lane], allowedMiss)
                    << (d == 0 ? "wet" : "dry") << " lane " << lane << " at " << rate << " Hz, AMP QUALITY " << worstQ[d][lane];
    }
}

// The crossover's own splits, and any split a caller may ask for, from nonsense near 0 Hz (kept
// at 1 Hz) to beyond Nyquist (kept at 0.45 of the rate).
TEST (FilterStability, CrossoverRealisesItsPolesAtEveryRateAndSplit)
{
    for (double rate : hostRates)
        for (float split : { 300.0f, 1300.0f, 5000.0f, 1.0e-3f, 1.0f, 5.0f, 20.0f, 20000.0f, 1.0e6f })
            for (bool highPass : { false, true })
            {
                const auto c = VinolaCrossover::designPair (split, (float) rate, highPass);
                const double f = std::clamp ((double) split, (double) VinolaCrossover::lowestSplit, 0.45 * rate);
                const double K = std::tan (3.141592653589793 * f / rate), s = std::sqrt (2.0) * K, D = K * K + s + 1.0;
                const auto designed = poles (2.0 * (K * K - 1.0) / D, (K * K - s + 1.0) / D);
                EXPECT_LT (miss (nearDcPoles (c.feedback, c.dcFeedback), designed), allowedMiss)
                    << split << " Hz at " << rate << " Hz";
            }
}
