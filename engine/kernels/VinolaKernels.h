#pragma once

// The AVX2+FMA kernels exist where the build compiles their own source files for that
// instruction set (x86-64 with GCC or Clang: the build defines VINOLA_AVX2_KERNELS=1); the rest
// of the build stays SSE2. They share state with the SSE2 lanes, so a build forced onto the
// portable lanes has none.
#if ! defined(VINOLA_AVX2_KERNELS) || (defined(VINOLA_FLOAT4_SSE) && ! VINOLA_FLOAT4_SSE)
 #undef VINOLA_AVX2_KERNELS
 #define VINOLA_AVX2_KERNELS 0
#endif

/** Chooses, once per process, which builds of the hot signal kernels run: the baseline ones
    (SSE2 on x86-64, portable lanes elsewhere) or the AVX2+FMA ones where the CPU has both.
    The build itself assumes only SSE2; the wider kernels live in their own source files (the
    avx2/ folders), compiled for that instruction set, and are only entered after the CPU check:
    through the table avx2(), or for the amplifier's and the crossover's, at the same check.

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

    /** The AVX2+FMA builds of the kernels that the stages hand whole runs to. Each does what
        the baseline code beside its call does, eight lanes at a time. */
    struct Avx2Kernels
    {
        /** x[i] = sin (x[i]) for i < count. */
        void (*sineInPlace) (float* x, int count) noexcept;

        /** The crackle mix of VinolaDspEngine: A at 0.5, B at 0.1 and C at 0.08 summed in double
            precision, times SCRATCHES times running, eight frames at a time up to a multiple of
            eight; returns the frames done. The same roundings as the baseline. */
        int (*mixCrackles) (const float* a, const float* b, const float* c, const float* scratches, float running,
                            float* out, int count) noexcept;

        /** Whether every |x[i]| lies below limit (false for NaN). */
        bool (*belowLimit) (const float* x, int count, float limit) noexcept;

        /** The wobble's cos (2 pi phase^exponent), one exponent per phase or one for all, for
            count rounded up to a whole number of eight-lane vectors (the arrays are that long). */
        void (*bentCosines) (const float* phases, const float* exponents, float* cosines, int count) noexcept;
        void (*steadyBentCosines) (const float* phases, float exponent, float* cosines, int count) noexcept;

        /** Both wobble delay lines (at the same position, each bufferSize long, a power of two)
            over whole groups of eight frames while their delays lie in [0, bufferSize - 9) and
            their writes do not wrap; returns the frames done. The frame formula's roundings. */
        int (*linePairGroups) (float* bufferL, float* bufferR, int bufferSize, int& write, int& read, float& lastDelay,
                               float* left, float* right, const float* delays, int count) noexcept;
    };

    /** The AVX2+FMA kernels while they are active (the CPU has them and the baseline is not
        forced), else null: the caller runs its baseline code. */
    static const Avx2Kernels* avx2() noexcept;

private:
#if VINOLA_AVX2_KERNELS
    static const Avx2Kernels avx2Kernels;
#endif
};
