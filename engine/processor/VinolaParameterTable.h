#pragma once

/** The 14 host parameters, described once. The row index is the parameter index: the position
    in the processor's parameter list, the binding of every editor control and the order of the
    values in the saved state. */
struct VinolaParameterTable
{
    struct Row
    {
        int index;
        float minimum;
        float maximum;
        float defaultValue;
        const char* name;
        const char* unit;
        const char* longName;
    };

    enum Index
    {
        inputGain = 0,
        ampNoise,
        vinylNoise,
        hum,
        scratches,
        scratchesRate,
        humFreqSw,
        needleQuality,
        ampQuality,
        cableQuality,
        outputGain,
        mix,
        ducking,
        wobble,
        numParameters
    };

    static const Row rows[numParameters];

    /** The default as the host sees it: (default - minimum) / (maximum - minimum), in float. */
    static float normalisedDefault (int index) noexcept;
};
