// The four-lane design's filters worked out in double precision, for the tests to compare the
// engine's single-precision filters with.
#pragma once

#include <cmath>

namespace
{
    struct Coefficients { double b0, b1, b2, a1, a2; };

    // Double-precision cookbook designs, normalised to a0 = 1 (shelf slope from Q as the
    // four-lane design uses it).
    Coefficients reference (int lane, double fs, double f, double Q, double G)
    {
        const double pi = 3.141592653589793;
        if (lane < 2)
        {
            const double A = std::sqrt (G), w0 = 2.0 * pi * f / fs, c = std::cos (w0);
            const double t = std::sqrt (A) * std::sin (w0) / Q;
            if (lane == 0)
            {
                const double n = (A + 1) + (A - 1) * c + t;
                return { A * ((A + 1) - (A - 1) * c + t) / n, 2 * A * ((A - 1) - (A + 1) * c) / n,
                         A * ((A + 1) - (A - 1) * c - t) / n, -2 * ((A - 1) + (A + 1) * c) / n,
                         ((A + 1) + (A - 1) * c - t) / n };
            }
            const double n = (A + 1) - (A - 1) * c + t;
            return { A * ((A + 1) + (A - 1) * c + t) / n, -2 * A * ((A - 1) + (A + 1) * c) / n,
                     A * ((A + 1) + (A - 1) * c - t) / n, 2 * ((A - 1) - (A + 1) * c) / n,
                     ((A + 1) - (A - 1) * c - t) / n };
        }
        const double K = std::tan (pi * f / fs);
        if (lane == 2)
        {
            const double D = K * K + K / Q + 1;
            return { 1 / D, -2 / D, 1 / D, 2 * (K * K - 1) / D, (K * K - K / Q + 1) / D };
        }
        const double c = 1 / K, D = c * c + c / Q + 1;
        return { 1 / D, 2 / D, 1 / D, 2 * (1 - c * c) / D, (c * c - c / Q + 1) / D };
    }
}
