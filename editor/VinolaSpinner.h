#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The record label that turns while the noise generators run: the label picture turned by the
    angle, with the centre peg drawn unturned on top. The owner's timer turns it by rotationStep
    per tick. The angle is kept within 0..2 pi, so that it never grows to where a small step no
    longer changes it in single precision. */
class VinolaSpinner : public juce::Component
{
public:
    /** Radians per timer tick of the owner: at 16 ms about 30 turns a minute. */
    static constexpr float rotationStep = 0.05f;

    VinolaSpinner();
    ~VinolaSpinner() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Turns the label by delta radians (clockwise for positive) and repaints. */
    void rotateBy (float delta = rotationStep);
    /** Sets the angle, brought into 0..2 pi; a non-finite angle is ignored. Repaints. */
    void setAngle (float newAngle);
    float getAngle() const noexcept { return angle; }

    /** The owner stamps the version onto this picture (it is shared, not copied). */
    void setLabelImage (const juce::Image& newImage) { labelImage = newImage; repaint(); }
    juce::Image& getLabelImage() noexcept { return labelImage; }
    void setPegImage (const juce::Image& newImage) { pegImage = newImage; repaint(); }
    const juce::Image& getPegImage() const noexcept { return pegImage; }

    /** An angle brought into 0..2 pi (0 for a non-finite one). */
    static float wrapAngle (float a) noexcept;

private:
    float angle = 0.0f;
    juce::Image labelImage;
    juce::Image pegImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaSpinner)
};
