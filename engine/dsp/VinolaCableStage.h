#pragma once

#include <cstdint>

/** A bad cable: table-driven level dropouts, a rectifying contact at very low quality and the
    first channel at half level below 0.2. */
class VinolaCableStage
{
public:
    /** The two 65,536-entry random tables (contact, dropout); owned by the engine. Until they
        are set the stage passes the signal through. */
    void setTables (const float* contactTable, const float* dropoutTable) noexcept;

    /** Nothing to clear: the table position runs on through a reset. */
    void reset() noexcept {}

    /** Runs one frame in place; cableQuality is this frame's smoothed CABLE QUALITY value. */
    void process (float* frame, int numChannels, float cableQuality) noexcept;

    /** A run of frames in place, one CABLE QUALITY value per frame; the same as process() frame
        by frame. */
    void processBlock (float* const* channels, int numChannels, int numFrames, const float* cableQuality) noexcept;

    /** Next table entry to read; wraps at 65,536 with the tables. */
    std::uint16_t tableIndex = 0;

private:
    const float* contact = nullptr;
    const float* dropout = nullptr;
};
