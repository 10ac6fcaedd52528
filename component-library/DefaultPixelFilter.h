#pragma once

#include "MvPixelFilter.h"

/** Stores the first value into the pixel and ignores the second. */
class DefaultPixelFilter : public MvPixelFilter
{
public:
    ~DefaultPixelFilter() override;

    void apply (juce::uint32* pixel, juce::uint32 value, juce::uint32 secondValue) override;
};
