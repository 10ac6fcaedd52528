#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "MvBackgroundElement.h"

#include <functional>

/** The library's image button: shows its normal, pressed or disabled image centred at the
    image draw size, and reports a click (a press and a release inside its bounds, edges
    included) first to its delegate, then to its click callback. Without a normal image it draws
    a placeholder look. A button that is not clickable, or that sits in a disabled component,
    ignores the mouse; one that becomes disabled while pressed stays pressed until the next
    accepted release. */
class MvButton : public juce::Component,
                 public MvBackgroundElement
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        virtual void buttonClicked (MvButton* button) = 0;
    };

    MvButton();
    ~MvButton() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    /** The look without images: a dark translucent rounded rectangle, with "Button" written
        on it when showPlaceholderText is set. */
    virtual void paintDefault (juce::Graphics&);

    /** The normal image, drawn at drawWidth x drawHeight centred in the bounds. */
    void setNormalImage (const juce::Image& image, float drawWidth, float drawHeight);
    /** The image shown while pressed; sets hasPressedImage. */
    void setPressedImage (const juce::Image& image);
    /** The image shown while the button is not clickable. */
    void setDisabledImage (const juce::Image& image);

    bool isPressed() const noexcept { return pressed; }

    /** Called with the button after every click, after the delegate; may be empty. */
    std::function<void (juce::Component*)> onClick;

    float imageDrawWidth = 0.0f;
    float imageDrawHeight = 0.0f;
    juce::Image normalImage;
    juce::Image pressedImage;
    juce::Image disabledImage;
    bool hasPressedImage = false;
    Delegate* delegate = nullptr;
    bool showPlaceholderText = true;
    bool clickable = true;

private:
    bool pressed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvButton)
};
