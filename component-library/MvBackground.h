#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class MvDynamicImage;

/** Renders the static art of a component tree once into an image at twice the owner's size:
    the fill colour, the optional base image, the delegate's base picture, then every visible
    MvBackgroundElement in the tree (an MvBackgroundLayer and everything inside it is skipped).
    The owner paints renderedImage scaled into its own bounds. */
class MvBackground
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        /** Paints the base picture in the owner's own coordinates (the graphics is scaled by 2). */
        virtual void paintBackground (juce::Graphics& g, float width, float height) = 0;
    };

    MvBackground();
    ~MvBackground();

    /** Rebuilds the background image for an owner of that size: int (2 w) x int (2 h) pixels. */
    void render (juce::Component* owner, float width, float height);

    MvDynamicImage* getDynamicImage() const noexcept { return dynamicImage.get(); }

    Delegate* delegate = nullptr;
    juce::uint32 fillColour = 0xFF7F7F7F;
    juce::Image baseImage;
    std::unique_ptr<MvDynamicImage> dynamicImage;
    juce::Image renderedImage;

private:
    void walk (juce::Component* parent, juce::Point<float> origin);

    JUCE_DECLARE_NON_COPYABLE (MvBackground)
};
