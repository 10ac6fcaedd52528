#pragma once

#include <juce_core/juce_core.h>

/** How MvDynamicImage::setPixel writes a value into a pixel (a 32-bit ARGB word, stored in
    memory as blue, green, red, alpha). */
class MvPixelFilter
{
public:
    virtual ~MvPixelFilter();

    virtual void apply (juce::uint32* pixel, juce::uint32 value, juce::uint32 secondValue) = 0;
};
