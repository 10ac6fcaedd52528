#pragma once

#include <atomic>
#include <cstdint>

/** Marsaglia's xorshift128 generator. One process-wide instance (`sharedXorShift128`) feeds the
    random modulation tables and the amplifier noise of every processor instance, so instances
    built one after another get different tables.

    The words are relaxed atomics only so that instances rendering on different threads do not
    race in the language's sense: interleaved draws just hand out different values, which is all
    a noise source needs. On x86 the loads and stores are plain moves. */
class VinolaXorShift128
{
public:
    constexpr VinolaXorShift128() noexcept
        : x (123456789u), y (362436069u), z (521288629u), w (88675123u) {}

    /** Back to Marsaglia's published seed (123456789, 362436069, 521288629, 88675123). */
    void restart() noexcept;

    /** The generator's step: the next draw from the oldest word and the newest one. */
    static std::uint32_t step (std::uint32_t oldest, std::uint32_t newest) noexcept
    {
        const std::uint32_t t = oldest ^ (oldest << 11);
        return newest ^ (newest >> 19) ^ t ^ (t >> 8);
    }

    std::uint32_t next() noexcept
    {
        const std::uint32_t x0 = x.load (std::memory_order_relaxed);
        const std::uint32_t y0 = y.load (std::memory_order_relaxed);
        const std::uint32_t z0 = z.load (std::memory_order_relaxed);
        const std::uint32_t w0 = w.load (std::memory_order_relaxed);
        const std::uint32_t w1 = step (x0, w0);
        x.store (y0, std::memory_order_relaxed);
        y.store (z0, std::memory_order_relaxed);
        z.store (w0, std::memory_order_relaxed);
        w.store (w1, std::memory_order_relaxed);
        return w1;
    }

    /** Two successive draws at once (the same values as two calls of next()), touching the
        shared words once. */
    void nextPair (std::uint32_t& first, std::uint32_t& second) noexcept
    {
        const std::uint32_t x0 = x.load (std::memory_order_relaxed);
        const std::uint32_t y0 = y.load (std::memory_order_relaxed);
        const std::uint32_t z0 = z.load (std::memory_order_relaxed);
        const std::uint32_t w0 = w.load (std::memory_order_relaxed);
        const std::uint32_t w1 = step (x0, w0);
        const std::uint32_t w2 = step (y0, w1);
        x.store (z0, std::memory_order_relaxed);
        y.store (w0, std::memory_order_relaxed);
        z.store (w1, std::memory_order_relaxed);
        w.store (w2, std::memory_order_relaxed);
        first = w1;
        second = w2;
    }

    /** count successive pairs of draws (the same values as 2 x count calls of next(), the first
        of each pair into first[i]), touching the shared words once. */
    void nextPairs (std::uint32_t* first, std::uint32_t* second, int count) noexcept
    {
        std::uint32_t a = x.load (std::memory_order_relaxed);
        std::uint32_t b = y.load (std::memory_order_relaxed);
        std::uint32_t c = z.load (std::memory_order_relaxed);
        std::uint32_t d = w.load (std::memory_order_relaxed);
        for (int i = 0; i < count; ++i)
        {
            const std::uint32_t d1 = step (a, d);
            const std::uint32_t d2 = step (b, d1);
            a = c;
            b = d;
            c = d1;
            d = d2;
            first[i] = d1;
            second[i] = d2;
        }
        x.store (a, std::memory_order_relaxed);
        y.store (b, std::memory_order_relaxed);
        z.store (c, std::memory_order_relaxed);
        w.store (d, std::memory_order_relaxed);
    }

    /** The largest value of a draw's low 24 bits, which the bipolar mapping divides by. */
    static constexpr float bipolarRange = 16777215.0f;

    /** The bipolar value of a draw: its low 24 bits u give 2u / 16777215 - 1, in [-1, 1]. */
    static float toBipolar (std::uint32_t draw) noexcept
    {
        const auto u = (float) (draw & 0xffffffu);
        return (2.0f * u) / bipolarRange - 1.0f;
    }

    /** A draw as a float in [-1, 1]: the low 24 bits u give 2u / 16777215 - 1. */
    float nextBipolar() noexcept { return toBipolar (next()); }

private:
    std::atomic<std::uint32_t> x, y, z, w;
};

/** The process-wide generator. Constant-initialised (the constructor is constexpr): ready before
    any static constructor runs, and no initialisation guard on the render path. */
extern VinolaXorShift128 sharedXorShift128;
