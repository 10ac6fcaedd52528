#pragma once

#include <juce_graphics/juce_graphics.h>

/** Draws the whole image at full opacity, scaled uniformly by width / image width (the height
    is not used, so the picture keeps its proportions), turned by angle radians (clockwise on
    screen) about its own centre, with its top-left corner moved to (x, y). Sets the graphics'
    opacity to 1. A null image, or an empty clip, draws nothing. */
void MvDrawRotatedImage (juce::Graphics& g, const juce::Image& image,
                         float x, float y, float width, float height, float angle);
