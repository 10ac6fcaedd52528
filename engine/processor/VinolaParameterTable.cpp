#include "VinolaParameterTable.h"

const VinolaParameterTable::Row VinolaParameterTable::rows[VinolaParameterTable::numParameters] = {
    { 0,  -48.0f, 24.0f, 0.0f,  "INPUT GAIN",     "dB", "Input Gain Level" },
    { 1,  0.0f,   1.0f,  0.05f, "AMP NOISE",      "v",  "Noise Gain Level" },
    { 2,  0.0f,   1.0f,  0.1f,  "VINYL NOISE",    "v",  "Noise Gain Level" },
    { 3,  0.0f,   1.0f,  0.15f, "HUM",            "v",  "Hum Gain Level" },
    { 4,  0.0f,   1.0f,  0.8f,  "SCRATCHES",      "v",  "Scratches Gain Level" },
    { 5,  0.0f,   1.0f,  0.5f,  "SCRATCHES RATE", "%",  "Scratches Rate" },
    { 6,  0.0f,   1.0f,  0.0f,  "HUM FREQ SW",    "%",  "Hum Frequency" },
    { 7,  0.0f,   1.0f,  0.9f,  "NEEDLE QUALITY", "%",  "Needle Quality" },
    { 8,  0.0f,   1.0f,  0.7f,  "AMP QUALITY",    "%",  "Amp Quality" },
    { 9,  0.0f,   1.0f,  1.0f,  "CABLE QUALITY",  "%",  "Cable Quality" },
    { 10, -48.0f, 24.0f, 0.0f,  "OUTPUT GAIN",    "dB", "Output Gain Level" },
    { 11, 0.0f,   1.0f,  1.0f,  "MIX",            "%",  "Dry/Wet Mix" },
    { 12, 0.0f,   1.0f,  0.5f,  "DUCKING",        "%",  "Ducking amount" },
    { 13, 0.0f,   1.0f,  0.0f,  "WOBBLE",         "%",  "Wobble amount" },
};

float VinolaParameterTable::normalisedDefault (int index) noexcept
{
    const auto& r = rows[index];
    return (r.defaultValue - r.minimum) / (r.maximum - r.minimum);
}
