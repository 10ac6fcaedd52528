#include <gtest/gtest.h>

#include "Biquad4.h"
#include "Biquad4Reference.h"

#include <cmath>
#include <complex>

namespace
{
    Coefficients lane (const Biquad4& d, int i)
    {
        return { d.b0.get (i), d.b1.get (i), d.b2.get (i), d.a1.get (i), d.a2.get (i) };
    }

    std::complex<double> response (const Coefficients& c, double w)
    {
        const auto z1 = std::polar (1.0, -w), z2 = z1 * z1;
        return (c.b0 + c.b1 * z1 + c.b2 * z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
    }

    bool stable (const Coefficients& c)
    {
        return std::fabs (c.a2) < 1.0 && std::fabs (c.a1) < 1.0 + c.a2;
    }
}

TEST (Biquad4, EveryLaneMatchesItsDoublePrecisionDesign)
{
    for (float fs : { 44100.0f, 48000.0f, 96000.0f })
        for (float f : { 100.0f, 300.0f, 2000.0f, 9000.0f, 19000.0f })
            for (float gain : { 0.1f, 0.5f, 1.0f, 2.0f })
                for (float q : { 0.707f, 2.0f })
                {
                    Biquad4 d;
                    Biquad4::design (d, VinolaFloat4::broadcast (fs), VinolaFloat4::broadcast (f),
                                     VinolaFloat4::broadcast (q), VinolaFloat4::broadcast (gain));
                    for (int i = 0; i < 4; ++i)
                    {
                        const auto e = reference (i, fs, f, q, gain), a = lane (d, i);
                        // Compare frequency responses: robust where single coefficients cancel.
                        for (double w : { 0.01, 0.1, 0.5, 1.0, 2.0, 3.0 })
                        {
                            const auto he = response (e, w), ha = response (a, w);
                            ASSERT_NEAR (std::abs (ha - he) / (std::abs (he) + 1.0e-3), 0.0, 1.0e-2)
                                << "lane " << i << " fs " << fs << " f " << f << " gain " << gain << " w " << w;
                        }
                    }
                }
}

TEST (Biquad4, ShelvesAtUnitGainAreIdentityAndZeroGainIsSilent)
{
    Biquad4 d;
    Biquad4::design (d, VinolaFloat4::broadcast (44100.0f), VinolaFloat4::set (150.0f, 11000.0f, 100.0f, 100.0f),
                     VinolaFloat4::broadcast (0.707f), VinolaFloat4::broadcast (1.0f));
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_NEAR (d.b0.get (i), 1.0f, 1.0e-6f);
        EXPECT_NEAR (d.b1.get (i), d.a1.get (i), 1.0e-6f);
        EXPECT_NEAR (d.b2.get (i), d.a2.get (i), 1.0e-6f);
    }

    Biquad4::design (d, VinolaFloat4::broadcast (44100.0f), VinolaFloat4::set (150.0f, 11000.0f, 100.0f, 100.0f),
                     VinolaFloat4::broadcast (0.707f), VinolaFloat4::broadcast (0.0f));
    for (int i = 0; i < 4; ++i)
        for (float v : { d.b0.get (i), d.b1.get (i), d.b2.get (i), d.a1.get (i), d.a2.get (i) })
            EXPECT_TRUE (std::isfinite (v)) << "lane " << i;
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ (d.b0.get (i), 0.0f);
        EXPECT_EQ (d.b1.get (i), 0.0f);
        EXPECT_EQ (d.b2.get (i), 0.0f);
    }
}

TEST (Biquad4, ExtremePassFiltersAreStableWithTheRightGains)
{
    Biquad4 d;
    Biquad4::design (d, VinolaFloat4::broadcast (44100.0f), VinolaFloat4::set (5.0f, 19000.0f, 10.0f, 22000.0f),
                     VinolaFloat4::broadcast (0.707f), VinolaFloat4::broadcast (1.0f));
    const auto hp = lane (d, 2), lp = lane (d, 3);
    EXPECT_TRUE (stable (hp));
    EXPECT_TRUE (stable (lp));
    EXPECT_NEAR (std::abs (response (hp, 0.0)), 0.0, 1.0e-6);
    EXPECT_NEAR (std::abs (response (hp, 3.14159)), 1.0, 1.0e-4);
    EXPECT_NEAR (std::abs (response (lp, 0.0)), 1.0, 1.0e-4);
    EXPECT_LT (std::abs (response (lp, 3.14159)), 1.0e-3);
}
