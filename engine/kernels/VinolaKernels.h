#pragma once

// The AVX2+FMA kernels exist on x86-64 with GCC or Clang; they are compiled per function with
// VINOLA_AVX2_TARGET, never by global flags, so the rest of the build stays SSE2.
// They share state with the SSE2 lanes, so a build forced onto the portable lanes has none.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && (! defined(VINOLA_FLOAT4_SSE) || VINOLA_FLOAT4_SSE)
 #define VINOLA_AVX2_KERNELS 1
 #define VINOLA_AVX2_TARGET __attribute__ ((target ("avx2,fma")))
#else
 #define VINOLA_AVX2_KERNELS 0
 #define VINOLA_AVX2_TARGET
#endif

/** Chooses, once per process, which builds of the hot signal kernels run: the baseline ones
    (SSE2 on x86-64, portable lanes elsewhere) or the AVX2+FMA ones where the CPU has both.
    The build itself assumes only SSE2; the wider kernels carry their own target attributes and
    are only entered after the CPU check.

    The choice is a relaxed atomic read per run of frames, so tests can force the baseline at
    any time (the two builds agree to single precision, not bit for bit: FMA rounds once). */
class VinolaKernels
{
public:
    enum class Path { baseline, avx2 };

    /** Whether this build contains the AVX2+FMA kernels at all (x86-64 with GCC or Clang). */
    static bool avx2Compiled() noexcept;

    /** Whether the CPU running this process supports AVX2 and FMA (false where not compiled). */
    static bool cpuHasAvx2() noexcept;

    /** The kernels in use right now: AVX2 where the CPU has it, unless the baseline is forced. */
    static Path active() noexcept;
    static bool useAvx2() noexcept { return active() == Path::avx2; }

    /** Forces the baseline kernels (true) or returns to the CPU's best (false). */
    static void forceBaseline (bool shouldForce) noexcept;

    /** x[i] = sin (x[i]) for i < count: the library's sinf on the baseline, an eight-lane
        single-precision polynomial (within 2 float steps of it) on the AVX2 kernels. */
    static void sineInPlace (float* x, int count) noexcept;

    /** "AVX2+FMA" or "SSE2" (or "portable"), for benchmarks and logs outside the render path. */
    static const char* name (Path path) noexcept;
};
