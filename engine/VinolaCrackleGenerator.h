#pragma once

#include "VinolaCrackleVoice.h"
#include "VinolaSampleBank.h"

#include <cstdint>

/** Fires crackle events at random intervals around a mean rate; each event starts the next voice
    (round robin) on a bank sample at a random level and stereo position. All randomness comes
    from the platform's shared rand sequence. */
struct VinolaCrackleGenerator
{
    static constexpr int maxVoices = 64;

    using Pair = VinolaSampleBank::Pair;

    int nextVoice = 0;
    VinolaCrackleVoice voices[maxVoices];
    int voiceCount = 16;
    float stageDurations[3] = { 0.0f, 0.02f, 0.05f };
    double sampleRate = 44100.0;
    float levelRandomness = 0.0f;
    float rate = 2.0f;
    float intervalSpread = 0.0f;
    float panOffset = 0.0f;
    float panSpread = 0.0f;
    double countdown = 0.0;          // seconds to the next event
    double meanInterval = 0.5;
    double timeStep = 1.0 / 44100.0;
    bool randomOrder = false;
    bool muted = false;
    bool alternateSides = true;
    bool nextSideLeft = false;
    int nextSample = 0;
    Pair output;
    const VinolaSampleBank* bank = nullptr;
    std::uint64_t activeVoices = 0;   // bit i set while voice i sounds

    VinolaCrackleGenerator() noexcept { init (nullptr, 16); }

    /** Every field back to its default, reading `newBank` with `newVoiceCount` voices (1..64). */
    void init (const VinolaSampleBank* newBank, int newVoiceCount) noexcept;

    /** Events per second; 0 mutes. Never lengthens the countdown already running. */
    void setRate (float eventsPerSecond) noexcept;

    /** Stores a new host rate here and in every voice, only when it differs. */
    void setSampleRate (double newRate) noexcept;

    /** One sample frame: maybe an event, then the sum of the sounding voices. */
    Pair tick() noexcept
    {
        if (! muted)
        {
            countdown -= timeStep;
            if (! (countdown > 0.0))
                fireEvent();
        }

        // Only the sounding voices, in index order: idle ones would cost a cache line each.
        float left = 0.0f, right = 0.0f;
        for (std::uint64_t pending = activeVoices; pending != 0; pending &= pending - 1)
        {
            const int i = __builtin_ctzll (pending);
            voices[i].renderFrame (left, right);
            if (voices[i].isIdle())
                activeVoices &= ~(std::uint64_t { 1 } << i);
        }

        output = { left, right };
        return output;
    }

    /** A uniform value in [0, 1] from the shared rand sequence. */
    static float uniformDraw() noexcept;

private:
    void fireEvent() noexcept;
};
