#pragma once

#include <juce_graphics/juce_graphics.h>
#include <functional>

/** Every picture the editor loads from the asset archive: its entry name, its size in pixels
    (twice the size at which the editor shows it) and the code that draws it. */
class VinolaArtworkSet
{
public:
    struct Picture
    {
        const char* name;
        int pixelWidth, pixelHeight;
        std::function<void (juce::Graphics&, juce::Image&, float, float)> paint;  // display units
    };

    static const std::vector<Picture>& pictures();

    /** Draws one picture at twice its display size. */
    static juce::Image render (const Picture& picture);

    /** Writes every picture as PNG into `folder`, named after its entry, and a list file
        "entries.txt" with one "name=path" line per picture; false with `error` set on failure. */
    static bool writeAll (const juce::File& folder, juce::String& error);
};
