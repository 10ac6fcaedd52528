#pragma once

#include <juce_graphics/juce_graphics.h>

class MvAssetManager;

/** An image entry of the asset archive, decoded (PNG, JPEG or GIF, told by content) when at
    least 5 bytes came back, else an empty image. The entry's bytes are released at once in every
    case: the decoded image keeps its own pixels. */
juce::Image MvLoadArchiveImage (MvAssetManager& assets, const char* name);
