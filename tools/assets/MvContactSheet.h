#pragma once

#include <juce_graphics/juce_graphics.h>

class MvAssetArchive;

/** A review picture of an archive: a mock-up of the editor window, then every entry that
    decodes as an image, at its stored size on a checkerboard (so transparency shows) with its
    name and pixel size beneath. */
class MvContactSheet
{
public:
    MvContactSheet() = delete;

    static juce::Image render (const MvAssetArchive& archive, const juce::Font& captionFont);
};
