#pragma once

#include <juce_graphics/juce_graphics.h>

class MvAssetArchive;

/** A mock-up of the editor window at twice its size, put together from an archive's pictures
    where the editor places them (controls at sample values, captions in the archive's font),
    so the artwork can be judged in place. It only approximates the editor's own drawing. */
class VinolaArtPreview
{
public:
    VinolaArtPreview() = delete;

    static juce::Image render (const MvAssetArchive& archive);
};
