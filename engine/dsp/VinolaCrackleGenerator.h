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
        VinolaCrackleGenerator* self = this;
        float left = 0.0f, right = 0.0f;
        float* lefts[1] = { &left };
        float* rights[1] = { &right };
        renderRuns (&self, 1, lefts, rights, 1);
        return output;
    }

    static constexpr int maxRunLength = 128;
    static constexpr int maxGenerators = 4;

    /** count (up to maxRunLength) frames of each of up to maxGenerators generators into
        left[g] and right[g]: the same as ticking them frame by frame in turn, with their events'
        random draws in that same order. Each voice plays its whole stretch between two events
        in one go; a frame's voices are still summed in index order. */
    static void renderRuns (VinolaCrackleGenerator* const* generators, int numGenerators, float* const* left,
                            float* const* right, int count) noexcept;

    /** A uniform value in [0, 1] from the shared rand sequence. */
    static float uniformDraw() noexcept;

private:
    /** An event's voice start, drawn in frame order and applied when its frame is rendered. */
    struct PendingStart
    {
        int frame, voice, sampleIndex;
        float level, pan;
    };
    PendingStart pendingStarts[maxRunLength];
    int numPendingStarts = 0;

    void fireEvent (int frame) noexcept;
    void renderVoices (float* left, float* right, int count) noexcept;
};
