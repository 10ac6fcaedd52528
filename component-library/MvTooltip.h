#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A small text bubble shown next to a control. Each showForComponent re-attaches it on top of the
    nearest ancestor of the target that is an MvTooltipParent, places it on one of nine positions
    around the target and fades it in (fadeStep per 16 ms tick, full after 10 ticks, the opacity
    rising on to 1.5). Clearing `showing` (or hide()) lets the running timer fade it out and stop
    itself. It never takes mouse clicks.

    The owner sets text, colours, font, border width and corner radius directly, and repaints
    after changing the text. */
class MvTooltip : public juce::Component,
                  public juce::Timer
{
public:
    MvTooltip();
    ~MvTooltip() override;

    void paint (juce::Graphics&) override;

    /** Corner radius <= 0: a filled rectangle with a 1-pixel outline; else a rounded border of
        borderWidth around a rounded fill. */
    virtual void drawBubble (juce::Graphics& g);
    /** The text on one line, with the justification, ellipsis when it does not fit. */
    virtual void drawText (juce::Graphics& g);
    /** Shows the tooltip, width x height, beside the target. Positions: 0 above, 1 right,
        2 below, 3 left (each centred), 4 above left, 5 above right, 6 below left, 7 below right,
        any other centred on the target (gap ignored); gap is the space from the target, offsetX
        and offsetY move the target's centre. Clears the text. A null target only restarts the
        fade-in where the tooltip was. */
    virtual void showForComponent (juce::Component* target, int width, int height, int position,
                                   int justification, float gap, float offsetX, float offsetY);
    void timerCallback() override;

    /** Clears `showing`: the timer fades the tooltip out. */
    void hide() noexcept { showing = false; }

    /** The component that a tooltip for the target is hosted by, and the target's top-left corner
        in the host's coordinates: the nearest MvTooltipParent strictly above the target; without
        one, the target's top-level component (or the target itself when it has no parent). */
    static juce::Component* findHost (juce::Component* target, juce::Point<float>& targetPositionInHost);

    float borderWidth = 0.5f;
    bool showing = false;
    juce::String text;
    juce::Colour textColour { 0xa0000000 };
    juce::Colour fillColour { 0xd0ffffe0 };
    juce::Colour borderColour { 0xa0000000 };
    juce::Font font;
    float opacity = 0.0f;
    float fadeStep = 0.1f;
    float cornerRadius = 2.0f;
    int justification = juce::Justification::centred;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvTooltip)
};
