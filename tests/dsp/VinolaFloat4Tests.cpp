#include <gtest/gtest.h>

#include "VinolaFloat4.h"

#include <cmath>
#include <limits>

using F = VinolaFloat4;

TEST (VinolaFloat4, ExpIsAccurateToSinglePrecisionAcrossItsRange)
{
    double worst = 0.0;
    for (double x = -87.0; x <= 87.0; x += 0.0137)   // results stay normal numbers
    {
        const float xf = (float) x;
        const double exact = std::exp ((double) xf);
        const F r = F::exp (F::set (xf, -xf, xf * 0.5f, 0.0f));
        worst = std::fmax (worst, std::fabs (r.get (0) - exact) / exact);
        worst = std::fmax (worst, std::fabs (r.get (1) - 1.0 / exact) * exact);
        ASSERT_EQ (r.get (3), 1.0f);
    }
    EXPECT_LT (worst, 4.0e-7);

    // Far outside the range: clamped to tiny or huge normal numbers, never NaN or infinity.
    const F big = F::exp (F::set (-1000.0f, 1000.0f, -88.5f, -std::numeric_limits<float>::infinity()));
    for (int lane : { 0, 2, 3 })
    {
        EXPECT_GE (big.get (lane), 0.0f);
        EXPECT_LT (big.get (lane), 2.0e-38f);
    }
    EXPECT_GT (big.get (1), 1.0e38f);
    EXPECT_TRUE (std::isfinite (big.get (1)));
}

TEST (VinolaFloat4, LogIsAccurateFromTinyToHuge)
{
    double worst = 0.0;
    for (double x = 1.0e-37; x < 1.0e38; x *= 1.0137)
    {
        const float xf = (float) x;
        const float r = F::log (F::broadcast (xf)).lane0();
        worst = std::fmax (worst, std::fabs (r - std::log ((double) xf)));
    }
    for (double x = 0.5; x < 2.0; x += 0.00037)   // around 1, where the result is small
    {
        const float xf = (float) x;
        const double exact = std::log ((double) xf);
        worst = std::fmax (worst, std::fabs (F::log (F::broadcast (xf)).lane0() - exact) / std::fmax (std::fabs (exact), 1.0));
    }
    EXPECT_LT (worst, 1.0e-5);
    EXPECT_NEAR (F::log (F::broadcast (1.0f)).lane0(), 0.0f, 1.0e-7f);
    EXPECT_TRUE (F::allFinite (F::log (F::set (0.0f, -1.0f, 1.0e-45f, 1.0f))));
}

TEST (VinolaFloat4, SineAndCosineMatchTheLibraryInEveryQuadrant)
{
    double worst = 0.0;
    for (double x = -20.0; x <= 20.0; x += 0.00731)
    {
        F s, c;
        F::sinCos (F::set ((float) x, (float) -x, (float) (x * 0.1), 3.14159265f), s, c);
        for (int lane = 0; lane < 3; ++lane)
        {
            const double a = (double) F::set ((float) x, (float) -x, (float) (x * 0.1), 0.0f).get (lane);
            worst = std::fmax (worst, std::fabs (s.get (lane) - std::sin (a)));
            worst = std::fmax (worst, std::fabs (c.get (lane) - std::cos (a)));
        }
    }
    EXPECT_LT (worst, 5.0e-7);
}

TEST (VinolaFloat4, FinitenessCheck)
{
    EXPECT_TRUE (F::allFinite (F::set (1, -2, 3e38f, 0)));
    EXPECT_FALSE (F::allFinite (F::set (1, std::nanf (""), 3, 4)));
    EXPECT_FALSE (F::allFinite (F::set (1, 2, 3, -std::numeric_limits<float>::infinity())));
}
