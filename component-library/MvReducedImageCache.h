#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** Draws images that the screen shows at less than half their pixel size.

    The art is made at twice its place's size, which the software renderer's bilinear sampling
    (2 x 2 source pixels per screen pixel) reduces exactly at 100 %. Reduced further, at 75 %,
    some source rows and columns are never read and a one- or two-pixel stroke (the stem of an
    I, a digit on the cable drum) can vanish. Such an image is drawn from a copy reduced to its
    size on the screen by averaging the area each screen pixel covers.

    A copy is never made while painting: the first paint that needs one draws the image as it
    is and asks for the copy, which is made once the message loop comes round; then every
    window of this plug-in binary is repainted. A copy lives as long as its source image and is
    dropped when that is drawn into. Message thread only. */
class MvReducedImageCache : private juce::AsyncUpdater,
                            private juce::ImagePixelData::Listener,
                            private juce::DeletedAtShutdown
{
public:
    /** Draws the image through the transform, as Graphics::drawImageTransformed does without
        filling the alpha channel; where it shows at less than half its size, from a reduced
        copy once that is made. */
    static void draw (juce::Graphics& g, const juce::Image& image, const juce::AffineTransform& transform);

    /** The image as shown at `across` x `down` screen pixels per pixel (each at most 1): each
        pixel of the copy is the average of the area of the image it covers (premultiplied
        ARGB; beyond the image counts as transparent), so the copy is drawn at its own size. */
    static juce::Image reduce (const juce::Image& image, float across, float down);

    /** Makes the copies that paints have asked for now, instead of when the message loop comes
        round (for tests and tools that render without a message loop). */
    static void makePendingCopies();

    ~MvReducedImageCache() override;

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (MvReducedImageCache)

private:
    MvReducedImageCache() = default;

    struct Copy
    {
        juce::ImagePixelData* source;
        juce::Point<float> scale;
        juce::Image image;
    };

    const juce::Image* find (const juce::Image& source, juce::Point<float> scale) const;
    void handleAsyncUpdate() override;
    void forget (juce::ImagePixelData* source);
    void imageDataChanged (juce::ImagePixelData*) override;
    void imageDataBeingDeleted (juce::ImagePixelData*) override;

    std::vector<Copy> copies;
    // Sources with the scales asked for; holding the source keeps it alive until its copy is made.
    std::vector<std::pair<juce::Image, juce::Point<float>>> wanted;

    JUCE_DECLARE_NON_COPYABLE (MvReducedImageCache)
};
