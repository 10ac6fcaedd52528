#pragma once

#include "MvParameterComponent.h"
#include "MvBackgroundElement.h"

/** A rotary control: a picture that turns with the value, +-rotationRange about upright. Drag
    vertically (up raises; Alt/Option for a tenth of the speed), turn the wheel for steps of 0.2
    (0.02 with Alt), double-click for the parameter's default. Its plate and caption go into the
    owner's cached background through the MvBackgroundElement side. While the knob or an ancestor
    is disabled, only mouse enter and exit are reported. Without a knob image it draws a dark
    translucent disc with a light dot on its rim. */
class MvImageKnob : public MvParameterComponent,
                    public MvBackgroundElement
{
public:
    MvImageKnob();
    ~MvImageKnob() override;

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    void setValue (float newValue) override;
    /** Does nothing at all when the value equals the stored one. */
    void setValueAndRepaint (float newValue, bool shouldRepaint) override;
    void setCurrentValue (float newValue) override;

    /** rotationRange * (2 * value - 1). */
    virtual float valueToAngle (float v);
    /** The built-in look; a = pi - angle, so the dot is at the top for angle 0. */
    virtual void paintDefault (juce::Graphics& g, float a);
    virtual float getRotationRange();
    virtual void setRotationRange (float newRange);

    void setKnobImage (const juce::Image& newImage) { knobImage = newImage; repaint(); }
    const juce::Image& getKnobImage() const noexcept { return knobImage; }
    void setDragSensitivity (float newSensitivity) noexcept { dragSensitivity = newSensitivity; }
    float getDragSensitivity() const noexcept { return dragSensitivity; }

protected:
    juce::Image knobImage;
    float rotationRange = 2.3561945f;
    float dragSensitivity = 0.45f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvImageKnob)
};
