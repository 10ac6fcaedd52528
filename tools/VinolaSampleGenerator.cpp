// Build-time synthesis of the plug-in's sample material: the vinyl-noise loop and the three
// crackle families. Deterministic (fixed seeds, no clock, no files read), so every build embeds
// the same bytes. Writes one blob of little-endian stereo float32 frames at 44.1 kHz and a C++
// table {name hash, offset, size} sorted by hash for the resource lookup.
//
//   VinolaSampleGenerator <blob output> <table output> [<folder for one .wav per resource>]

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr double pi = 3.141592653589793;

    constexpr int noiseLoopFrames = 583816;
    const int repaFrames[19] = { 3150, 7840, 2875, 470, 1030, 3870, 185, 1260, 55, 5230,
                                 640, 2040, 310, 4410, 1490, 1760, 2390, 880, 6120 };
    const int knasterFrames[43] = { 93, 68, 55, 27, 12, 39, 125, 129, 35, 57, 98, 11, 55, 38, 12,
                                    12, 12, 49, 80, 38, 23, 12, 31, 101, 18, 148, 31, 29, 53, 22,
                                    13, 23, 36, 11, 11, 11, 21, 130, 125, 27, 31, 11, 12 };

    // splitmix64: small, well mixed and identical on every platform.
    struct Rng
    {
        std::uint64_t state;
        explicit Rng (std::uint64_t seed) : state (seed) {}

        std::uint64_t next()
        {
            std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
            return z ^ (z >> 31);
        }
        double uniform() { return (double) (next() >> 11) * (1.0 / 9007199254740992.0); }
        double range (double lo, double hi) { return lo + (hi - lo) * uniform(); }
        double gauss()
        {
            const double u1 = std::max (uniform(), 1.0e-300), u2 = uniform();
            return std::sqrt (-2.0 * std::log (u1)) * std::cos (2.0 * pi * u2);
        }
        double sign() { return uniform() < 0.5 ? -1.0 : 1.0; }
    };

    // Audio EQ Cookbook biquads, direct form I, in double.
    struct Biquad
    {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

        static Biquad make (double b0, double b1, double b2, double a0, double a1, double a2)
        {
            Biquad f;
            f.b0 = b0 / a0; f.b1 = b1 / a0; f.b2 = b2 / a0; f.a1 = a1 / a0; f.a2 = a2 / a0;
            return f;
        }
        static Biquad lowPass (double freq, double q)
        {
            const double w = 2 * pi * freq / sampleRate, c = std::cos (w), al = std::sin (w) / (2 * q);
            return make ((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + al, -2 * c, 1 - al);
        }
        static Biquad highPass (double freq, double q)
        {
            const double w = 2 * pi * freq / sampleRate, c = std::cos (w), al = std::sin (w) / (2 * q);
            return make ((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + al, -2 * c, 1 - al);
        }
        static Biquad bandPass (double freq, double q)
        {
            const double w = 2 * pi * freq / sampleRate, c = std::cos (w), al = std::sin (w) / (2 * q);
            return make (al, 0, -al, 1 + al, -2 * c, 1 - al);
        }
        static Biquad peak (double freq, double q, double dB)
        {
            const double A = std::pow (10.0, dB / 40), w = 2 * pi * freq / sampleRate;
            const double c = std::cos (w), al = std::sin (w) / (2 * q);
            return make (1 + al * A, -2 * c, 1 - al * A, 1 + al / A, -2 * c, 1 - al / A);
        }
        double process (double x)
        {
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = x; y2 = y1; y1 = y;
            return y;
        }
    };

    using Signal = std::vector<double>;

    // Runs a filter chain over a loop twice and keeps the second pass: the filter state at the
    // loop's start is the state its end leaves, so the filtered loop joins itself seamlessly.
    Signal filterCircular (const Signal& in, std::vector<Biquad> chain)
    {
        const size_t n = in.size();
        Signal out (n);
        for (size_t pass = 0; pass < 2; ++pass)
            for (size_t i = 0; i < n; ++i)
            {
                double v = in[i];
                for (auto& f : chain)
                    v = f.process (v);
                out[i] = v;
            }
        return out;
    }

    Signal filterOnce (const Signal& in, std::vector<Biquad> chain)
    {
        Signal out (in.size());
        for (size_t i = 0; i < in.size(); ++i)
        {
            double v = in[i];
            for (auto& f : chain)
                v = f.process (v);
            out[i] = v;
        }
        return out;
    }

    Signal whiteNoise (Rng& rng, size_t n)
    {
        Signal s (n);
        for (auto& v : s)
            v = rng.gauss();
        return s;
    }

    double rms (const Signal& s)
    {
        double sum = 0;
        for (double v : s)
            sum += v * v;
        return s.empty() ? 0.0 : std::sqrt (sum / (double) s.size());
    }

    struct Stereo
    {
        Signal left, right;
        explicit Stereo (size_t n = 0) : left (n, 0.0), right (n, 0.0) {}
        size_t size() const { return left.size(); }
        double peak() const
        {
            double p = 0;
            for (size_t i = 0; i < size(); ++i)
                p = std::max ({ p, std::fabs (left[i]), std::fabs (right[i]) });
            return p;
        }
        void scale (double g)
        {
            for (size_t i = 0; i < size(); ++i) { left[i] *= g; right[i] *= g; }
        }
        void normalisePeak (double target)
        {
            const double p = peak();
            if (p > 0)
                scale (target / p);
        }
    };

    // A short click: a few samples of a band-limited spike that rings briefly. Added at index
    // `at` with wrap-around, so a click near the end of a loop continues at its start.
    void addClick (Signal& s, size_t at, double amplitude, double ringFreq, double ringFrames, bool wrap)
    {
        const int length = (int) (ringFrames * 6) + 4;
        const double w = 2 * pi * ringFreq / sampleRate;
        for (int k = 0; k < length; ++k)
        {
            size_t i = at + (size_t) k;
            if (i >= s.size())
            {
                if (! wrap)
                    break;
                i %= s.size();
            }
            const double spike = k == 0 ? 1.0 : (k == 1 ? -0.55 : 0.0);
            const double ring = std::exp (-(double) k / ringFrames) * std::sin (w * (k + 0.5)) * 0.6;
            s[i] += amplitude * (spike + ring);
        }
    }

    // The loop: band-limited surface hiss that swells once per revolution, low rumble, and
    // sparse faint ticks, some recurring at the same spot of every revolution (a worn groove).
    // Every component is periodic in the loop length, so the end joins the start.
    Stereo makeNoiseLoop()
    {
        Rng rng (0x51a7e5eedull);
        const size_t n = noiseLoopFrames;
        const int revolutions = 7;   // about 1.89 s each, close to 33 1/3 rpm
        Stereo out (n);

        auto hissChain = [] {
            return std::vector<Biquad> { Biquad::highPass (320.0, 0.6), Biquad::highPass (320.0, 0.6),
                                         Biquad::peak (3200.0, 0.8, 5.0), Biquad::lowPass (9500.0, 0.7),
                                         Biquad::lowPass (12000.0, 0.6) };
        };
        const Signal mid = filterCircular (whiteNoise (rng, n), hissChain());
        const Signal side = filterCircular (whiteNoise (rng, n), hissChain());
        const double hissNorm = 1.0 / std::max (rms (mid), 1e-12);

        // Rumble: very low, mostly vertical motion of the stylus (left and right in opposition).
        const auto rumbleChain = [] {
            return std::vector<Biquad> { Biquad::lowPass (32.0, 0.9), Biquad::lowPass (60.0, 0.7),
                                         Biquad::highPass (14.0, 0.7), Biquad::highPass (14.0, 0.7) };
        };
        const Signal rumbleA = filterCircular (whiteNoise (rng, n), rumbleChain());
        const Signal rumbleB = filterCircular (whiteNoise (rng, n), rumbleChain());
        const double rumbleNorm = 1.0 / std::max (rms (rumbleA), 1e-12);

        // A slow crackly texture: dense tiny dust clicks whose density follows the swell.
        const double swellPhase = rng.uniform();
        for (size_t i = 0; i < n; ++i)
        {
            const double t = (double) i / (double) n;   // 0..1 over the loop
            const double rev = 0.5 + 0.5 * std::cos (2 * pi * (revolutions * t + swellPhase));
            const double swell = 0.78 + 0.32 * rev * rev;
            const double m = mid[i] * hissNorm * 0.055 * swell;
            const double sd = side[i] * hissNorm * 0.03 * swell;
            const double rA = rumbleA[i] * rumbleNorm * 0.014;
            const double rB = rumbleB[i] * rumbleNorm * 0.012;
            out.left[i] = m + sd + rA + rB;
            out.right[i] = m - sd - rA + rB;
        }

        // Dust: a few hundred very faint clicks, denser where the swell peaks.
        for (int k = 0; k < 900; ++k)
        {
            const size_t at = (size_t) (rng.uniform() * (double) n);
            const double amp = rng.range (0.005, 0.03) * rng.sign();
            const double freq = rng.range (2500.0, 7000.0);
            const double spread = rng.range (0.6, 1.0);
            addClick (out.left, at, amp, freq, 1.5, true);
            addClick (out.right, at, amp * spread, freq, 1.5, true);
        }

        // Sparse faint ticks, about two a second.
        for (int k = 0; k < 26; ++k)
        {
            const size_t at = (size_t) (rng.uniform() * (double) n);
            const double amp = rng.range (0.05, 0.12) * rng.sign();
            const double freq = rng.range (1800.0, 5000.0);
            const double ring = rng.range (2.0, 6.0);
            const double balance = rng.range (0.5, 1.0);
            const bool leftLouder = rng.uniform() < 0.5;
            addClick (out.left, at, amp * (leftLouder ? 1.0 : balance), freq, ring, true);
            addClick (out.right, at, amp * (leftLouder ? balance : 1.0), freq, ring, true);
        }

        // The worn spot: one tick at the same angle of every revolution.
        const double spot = rng.uniform();
        for (int r = 0; r < revolutions; ++r)
        {
            const size_t at = (size_t) (((double) r + spot) / revolutions * (double) n) % n;
            const double amp = 0.14 * rng.range (0.8, 1.0);
            addClick (out.left, at, amp, 2600.0, 4.0, true);
            addClick (out.right, at, amp * 0.85, 2600.0, 4.0, true);
        }

        out.normalisePeak (0.89);
        return out;
    }

    // Fades the last frames to zero so a one-shot ends without a step.
    void fadeTail (Stereo& s, size_t frames)
    {
        const size_t n = s.size();
        frames = std::min (frames, n);
        for (size_t k = 0; k < frames; ++k)
        {
            const double g = 0.5 - 0.5 * std::cos (pi * (double) k / (double) frames);
            s.left[n - 1 - k] *= g;
            s.right[n - 1 - k] *= g;
        }
    }

    void removeMean (Signal& s)
    {
        double m = 0;
        for (double v : s)
            m += v;
        m /= (double) std::max<size_t> (1, s.size());
        for (auto& v : s)
            v -= m;
    }

    // A pop: a sharp attack, then a body of damped resonances and decaying noise.
    Stereo makePop (Rng& rng, int frames)
    {
        const size_t n = (size_t) frames;
        Stereo out (n);
        const double decay = std::max (8.0, frames * rng.range (0.12, 0.22));   // frames per e-fold
        const double thumpFreq = rng.range (110.0, 420.0);
        const double ringFreq = rng.range (1400.0, 4200.0);
        const double thump = rng.range (0.35, 0.8) * rng.sign();
        const double polarity = rng.sign();
        auto bodyNoiseChain = std::vector<Biquad> { Biquad::bandPass (rng.range (900.0, 3000.0), 0.9) };
        const Signal noise = filterOnce (whiteNoise (rng, n), bodyNoiseChain);
        const Signal noiseR = filterOnce (whiteNoise (rng, n), bodyNoiseChain);
        const double width = rng.range (0.1, 0.35);

        for (size_t i = 0; i < n; ++i)
        {
            const double env = std::exp (-(double) i / decay);
            const double slowEnv = std::exp (-(double) i / (decay * 1.6));
            const double attack = i < 3 ? (i == 0 ? 1.0 : (i == 1 ? -0.7 : 0.3)) * polarity : 0.0;
            const double body = thump * slowEnv * std::sin (2 * pi * thumpFreq * (double) i / sampleRate)
                              + 0.5 * env * std::sin (2 * pi * ringFreq * (double) i / sampleRate + 0.3);
            const double common = attack + body + 0.9 * env * noise[i];
            out.left[i] = common;
            out.right[i] = common * (1.0 - width) + width * 0.9 * env * noiseR[i];
        }
        return out;
    }

    // A scratch: the stylus skating across grooves, a swish of band-passed noise carrying a run
    // of groove clicks at a steady spacing, with one or two hard pops, then a decay.
    Stereo makeScratch (Rng& rng, int frames)
    {
        const size_t n = (size_t) frames;
        Stereo out (n);
        const Signal swish = filterOnce (whiteNoise (rng, n), { Biquad::bandPass (rng.range (1500.0, 3500.0), 0.7),
                                                               Biquad::highPass (400.0, 0.7) });
        const Signal swishR = filterOnce (whiteNoise (rng, n), { Biquad::bandPass (rng.range (1500.0, 3500.0), 0.7),
                                                                Biquad::highPass (400.0, 0.7) });
        const double swishNorm = 1.0 / std::max (rms (swish), 1e-12);
        const double attackFrames = std::max (20.0, frames * 0.04);
        const double decay = frames * rng.range (0.25, 0.4);
        const double width = rng.range (0.15, 0.4);

        for (size_t i = 0; i < n; ++i)
        {
            const double t = (double) i;
            const double env = (1.0 - std::exp (-t / attackFrames)) * std::exp (-t / decay);
            out.left[i] = 0.3 * env * swish[i] * swishNorm;
            out.right[i] = 0.3 * env * (swish[i] * (1.0 - width) + swishR[i] * width) * swishNorm;
        }

        // Groove clicks, about every 4 to 12 ms, slowing as the stylus stops.
        double at = rng.range (0.0, 200.0);
        double spacing = rng.range (170.0, 530.0);
        while (at < (double) n * 0.9)
        {
            const double t = at / (double) n;
            const double amp = rng.range (0.25, 0.6) * std::exp (-at / decay) * rng.sign();
            const double freq = rng.range (2000.0, 6000.0);
            addClick (out.left, (size_t) at, amp, freq, 3.0, false);
            addClick (out.right, (size_t) at, amp * rng.range (0.7, 1.0), freq, 3.0, false);
            at += spacing * rng.range (0.8, 1.2) * (1.0 + t);
        }

        const int pops = 1 + (int) (rng.uniform() * 2.0);
        for (int p = 0; p < pops; ++p)
        {
            const size_t start = (size_t) (rng.range (0.0, 0.5) * (double) n);
            const int len = std::min<int> (frames - (int) start, 900);
            if (len < 16)
                continue;
            Stereo pop = makePop (rng, len);
            const double g = rng.range (0.6, 1.0);
            for (size_t i = 0; i < (size_t) len; ++i)
            {
                out.left[start + i] += g * pop.left[i];
                out.right[start + i] += g * pop.right[i];
            }
        }
        return out;
    }

    Stereo makeRepa (Rng& rng, int frames)
    {
        Stereo s = frames < 1200 ? makePop (rng, frames) : makeScratch (rng, frames);
        removeMean (s.left);
        removeMean (s.right);
        fadeTail (s, (size_t) std::max (4, frames / 8));
        s.normalisePeak (rng.range (0.6, 0.95));
        return s;
    }

    // A tick: a spike with a short damped ring. The soft variant is smoothed and quieter.
    Stereo makeTick (Rng& rng, int frames, bool soft)
    {
        const size_t n = (size_t) frames;
        Stereo out (n);
        const double freq = soft ? rng.range (1500.0, 4500.0) : rng.range (3000.0, 9000.0);
        const double decay = std::max (1.5, frames * rng.range (0.12, 0.25));
        const double polarity = rng.sign();
        const double balance = rng.range (0.75, 1.0);
        const bool leftLouder = rng.uniform() < 0.5;
        const size_t onset = (size_t) std::min<double> ((double) n / 4.0, rng.range (0.0, 3.0));
        double smoothL = 0, smoothR = 0;
        const double smoothing = soft ? rng.range (0.35, 0.6) : 0.0;

        for (size_t i = 0; i < n; ++i)
        {
            double v = 0;
            if (i >= onset)
            {
                const double k = (double) (i - onset);
                const double spike = k == 0 ? 1.0 : (k == 1 ? -0.5 : 0.0);
                v = polarity * (spike + 0.7 * std::exp (-k / decay) * std::sin (2 * pi * freq * k / sampleRate + 0.4))
                  + 0.08 * std::exp (-k / decay) * rng.gauss();
            }
            const double l = v * (leftLouder ? 1.0 : balance);
            const double r = v * (leftLouder ? balance : 1.0);
            smoothL = smoothing * smoothL + (1.0 - smoothing) * l;
            smoothR = smoothing * smoothR + (1.0 - smoothing) * r;
            out.left[i] = smoothL;
            out.right[i] = smoothR;
        }
        fadeTail (out, (size_t) std::max (2, frames / 5));
        out.normalisePeak (soft ? rng.range (0.22, 0.42) : rng.range (0.55, 0.95));
        return out;
    }

    std::int32_t hashName (const std::string& name)
    {
        std::uint32_t h = 0;
        for (char c : name)
            h = h * 31u + (std::uint32_t) (std::int32_t) (signed char) c;
        return (std::int32_t) h;
    }

    struct Resource
    {
        std::string name;
        std::vector<float> interleaved;
        std::uint32_t offset = 0;
    };

    Resource toResource (const std::string& name, const Stereo& s)
    {
        Resource r;
        r.name = name;
        r.interleaved.resize (s.size() * 2);
        for (size_t i = 0; i < s.size(); ++i)
        {
            r.interleaved[2 * i] = (float) std::clamp (s.left[i], -1.0, 1.0);
            r.interleaved[2 * i + 1] = (float) std::clamp (s.right[i], -1.0, 1.0);
        }
        return r;
    }

    void putLE32 (std::FILE* f, std::uint32_t v)
    {
        const unsigned char b[4] = { (unsigned char) v, (unsigned char) (v >> 8), (unsigned char) (v >> 16), (unsigned char) (v >> 24) };
        std::fwrite (b, 1, 4, f);
    }

    std::uint32_t floatBits (float v)
    {
        std::uint32_t u;
        std::memcpy (&u, &v, 4);
        return u;
    }

    // A 32-bit float WAV of one resource, for looking at the material.
    bool writeWav (const std::string& path, const Resource& r)
    {
        std::FILE* f = std::fopen (path.c_str(), "wb");
        if (f == nullptr)
            return false;
        const std::uint32_t dataBytes = (std::uint32_t) (r.interleaved.size() * 4);
        std::fwrite ("RIFF", 1, 4, f); putLE32 (f, 36 + dataBytes); std::fwrite ("WAVE", 1, 4, f);
        std::fwrite ("fmt ", 1, 4, f); putLE32 (f, 16);
        putLE32 (f, 3u | (2u << 16));              // IEEE float, two channels
        putLE32 (f, 44100); putLE32 (f, 44100 * 8);
        putLE32 (f, 8u | (32u << 16));             // block align 8, 32 bits
        std::fwrite ("data", 1, 4, f); putLE32 (f, dataBytes);
        for (float v : r.interleaved)
            putLE32 (f, floatBits (v));
        return std::fclose (f) == 0;
    }
}

int main (int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf (stderr, "usage: %s <blob> <table.inc> [<wav folder>]\n", argv[0]);
        return 2;
    }

    std::vector<Resource> resources;
    resources.push_back (toResource ("noiseloop_flt", makeNoiseLoop()));

    Rng repaRng (0x2e9a0001ull);
    for (int i = 0; i < 19; ++i)
        resources.push_back (toResource ("repa" + std::to_string (i + 1) + "_flt", makeRepa (repaRng, repaFrames[i])));

    Rng knasterRng (0x4b4e0002ull);
    for (int i = 0; i < 43; ++i)
        resources.push_back (toResource ("knaster" + std::to_string (i + 1) + "_flt", makeTick (knasterRng, knasterFrames[i], false)));

    Rng softRng (0x484b0003ull);
    for (int i = 0; i < 43; ++i)
        resources.push_back (toResource ("h_knaster" + std::to_string (i + 1) + "_flt", makeTick (softRng, knasterFrames[i], true)));

    // Blob: each resource at a 16-byte aligned offset.
    std::FILE* blob = std::fopen (argv[1], "wb");
    if (blob == nullptr)
        return 1;
    std::uint32_t offset = 0;
    for (auto& r : resources)
    {
        while (offset % 16 != 0)
        {
            std::fputc (0, blob);
            ++offset;
        }
        r.offset = offset;
        for (float v : r.interleaved)
            putLE32 (blob, floatBits (v));
        offset += (std::uint32_t) (r.interleaved.size() * 4);
    }
    if (std::fclose (blob) != 0)
        return 1;

    std::vector<const Resource*> sorted;
    for (auto& r : resources)
        sorted.push_back (&r);
    std::sort (sorted.begin(), sorted.end(), [] (auto* a, auto* b) { return hashName (a->name) < hashName (b->name); });
    for (size_t i = 1; i < sorted.size(); ++i)
        if (hashName (sorted[i]->name) == hashName (sorted[i - 1]->name))
        {
            std::fprintf (stderr, "hash collision: %s %s\n", sorted[i]->name.c_str(), sorted[i - 1]->name.c_str());
            return 1;
        }

    std::FILE* table = std::fopen (argv[2], "w");
    if (table == nullptr)
        return 1;
    std::fprintf (table, "// Generated by VinolaSampleGenerator: {name hash, offset, size in bytes}, sorted by hash.\n");
    for (auto* r : sorted)
        std::fprintf (table, "{ %d, %u, %u }, // %s\n", (int) hashName (r->name), r->offset,
                      (unsigned) (r->interleaved.size() * 4), r->name.c_str());
    if (std::fclose (table) != 0)
        return 1;

    if (argc > 3)
        for (auto& r : resources)
            if (! writeWav (std::string (argv[3]) + "/" + r.name + ".wav", r))
                return 1;
    return 0;
}
