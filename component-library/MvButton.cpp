#include "MvButton.h"
#include "MvReducedImageCache.h"

MvButton::Delegate::~Delegate() = default;

MvButton::MvButton() = default;

MvButton::~MvButton()
{
    normalImage = {};
    pressedImage = {};
    disabledImage = {};
    onClick = nullptr;
}

void MvButton::setNormalImage (const juce::Image& image, float drawWidth, float drawHeight)
{
    normalImage = image;
    imageDrawWidth = drawWidth;
    imageDrawHeight = drawHeight;
    repaint();
}

void MvButton::setPressedImage (const juce::Image& image)
{
    pressedImage = image;
    hasPressedImage = true;
    repaint();
}

void MvButton::setDisabledImage (const juce::Image& image)
{
    disabledImage = image;
    repaint();
}

void MvButton::mouseDown (const juce::MouseEvent&)
{
    if (! isEnabled() || ! clickable)
        return;

    pressed = true;
    repaint();
}

void MvButton::mouseUp (const juce::MouseEvent& e)
{
    if (! isEnabled() || ! clickable)
        return;

    pressed = false;

    // Both edges count: a release on the last row or column of a small button still clicks.
    const bool inside = e.x >= 0 && e.x <= getWidth() && e.y >= 0 && e.y <= getHeight();

    if (inside && isEnabled())
    {
        // The delegate or the callback may delete this button (a window closing itself).
        juce::Component::SafePointer<MvButton> self (this);

        if (delegate != nullptr)
            delegate->buttonClicked (this);

        if (self != nullptr && onClick)
            onClick (this);

        if (self == nullptr)
            return;
    }

    repaint();
}

void MvButton::resized() {}

void MvButton::paint (juce::Graphics& g)
{
    if (normalImage.isNull())
    {
        paintDefault (g);
        return;
    }

    const bool showsDisabled = ! clickable && disabledImage.isValid();
    float opacity = 1.0f;

    if (pressed && ! hasPressedImage)
        opacity = 0.8f;

    if (! clickable && disabledImage.isNull())
        opacity = 0.3f;

    g.setOpacity (opacity);

    const juce::Image* chosen = &normalImage;

    if (showsDisabled)
        chosen = &disabledImage;
    else if (pressed && hasPressedImage)
        chosen = &pressedImage;

    if (chosen->isNull() || g.isClipEmpty())
        return;

    juce::AffineTransform t;

    if (chosen->getWidth() >= 1 && chosen->getHeight() >= 1)
        t = juce::AffineTransform::scale (imageDrawWidth / (float) chosen->getWidth(),
                                          imageDrawHeight / (float) chosen->getHeight())
                .translated (((float) getWidth() - imageDrawWidth) / 2.0f,
                             ((float) getHeight() - imageDrawHeight) / 2.0f);

    MvReducedImageCache::draw (g, *chosen, t);
}

void MvButton::paintDefault (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();

    g.setColour (juce::Colour (pressed ? 0x80222222u : 0xa0222222u));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 3.0f);

    g.setColour (juce::Colour (pressed ? 0xf0f0f0f0u : 0xf0ffffffu));

    if (showPlaceholderText)
        g.drawText ("Button", juce::Rectangle<float> (0.0f, 0.0f, w, h), juce::Justification::centred, true);
}
