#pragma once

#include "MvParameterComponent.h"
#include "MvBackgroundElement.h"

/** A linear control: a handle picture moving along a track picture, bottom to top (vertical, the
    default) or left to right (horizontal). The value moves by the mouse's travel over the
    slider's length (at least 60 pixels); Alt/Option gives a tenth of the speed. Wheel,
    double-click reset, disabled handling and delegate reporting are those of MvImageKnob. A new
    slider starts at 0.5. Without a handle image it draws a plain built-in look in its colour.

    travel = width - handleWidth (horizontal) or height - handleHeight (vertical). handleWidth,
    handleHeight and trackThickness must be set by the owner before the slider is shown. */
class MvSlider : public MvParameterComponent,
                 public MvBackgroundElement
{
public:
    MvSlider();
    ~MvSlider() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void paint (juce::Graphics&) override;

    void setValue (float newValue) override;
    /** Stores the value (also an equal one); repaints when asked. */
    void setValueAndRepaint (float newValue, bool shouldRepaint) override;
    void setCurrentValue (float newValue) override;

    /** The built-in look: a 2-pixel line along the travel and a rounded handle. */
    virtual void paintDefault (juce::Graphics& g);

    float getTravel() const;

    void setHorizontal (bool shouldBeHorizontal) { horizontal = shouldBeHorizontal; repaint(); }
    bool isHorizontal() const noexcept { return horizontal; }
    void setHandleImage (const juce::Image& newImage) { handleImage = newImage; repaint(); }
    const juce::Image& getHandleImage() const noexcept { return handleImage; }
    void setTrackImage (const juce::Image& newImage) { trackImage = newImage; repaint(); }
    const juce::Image& getTrackImage() const noexcept { return trackImage; }
    void setDrawTrack (bool shouldDraw) { drawTrack = shouldDraw; repaint(); }
    bool getDrawTrack() const noexcept { return drawTrack; }
    void setHandleSize (float width, float height) { handleWidth = width; handleHeight = height; repaint(); }
    float getHandleWidth() const noexcept { return handleWidth; }
    float getHandleHeight() const noexcept { return handleHeight; }
    void setTrackThickness (float thickness) { trackThickness = thickness; repaint(); }
    float getTrackThickness() const noexcept { return trackThickness; }
    void setBuiltInColour (juce::uint32 argb) { colour = argb; repaint(); }
    juce::uint32 getBuiltInColour() const noexcept { return colour; }

protected:
    juce::Image handleImage;
    bool horizontal = false;
    float handleHeight = 0.0f, handleWidth = 0.0f;  // the owner sets them
    bool drawTrack = false;
    juce::Image trackImage;
    float trackThickness = 0.0f;                    // the owner sets it
    juce::uint32 colour = 0xFF333333;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvSlider)
};
