#include "MvRadioButtons.h"
#include "MvParameterDelegate.h"
#include "MvReducedImageCache.h"

#include <cmath>

//==============================================================================
MvRadioButtons::HoverListener::~HoverListener() = default;

//==============================================================================
MvRadioButtons::RadioButton::RadioButton() = default;

MvRadioButtons::RadioButton::~RadioButton()
{
    font = {};
    text = {};
    offImage = {};
    onImage = {};
    pressedImage = {};
}

void MvRadioButtons::RadioButton::setImages (const juce::Image& off, const juce::Image& on, const juce::Image& pressedPicture)
{
    offImage = off;
    onImage = on;
    pressedImage = pressedPicture;
    repaint();
}

void MvRadioButtons::RadioButton::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;

    if (owner != nullptr)
        owner->radioButtonMouseEntered (buttonIndex);

    repaint();
}

void MvRadioButtons::RadioButton::mouseExit (const juce::MouseEvent&)
{
    hovered = false;

    if (owner != nullptr)
        owner->radioButtonMouseExited (buttonIndex);

    repaint();
}

void MvRadioButtons::RadioButton::mouseDown (const juce::MouseEvent&)
{
    pressed = true;
    repaint();
}

void MvRadioButtons::RadioButton::mouseUp (const juce::MouseEvent& e)
{
    pressed = false;

    const bool inside = e.x >= 0 && e.x < getWidth() && e.y >= 0 && e.y < getHeight();

    if (inside && ! selected && owner != nullptr)
        owner->setSelectedIndex (buttonIndex);

    repaint();
}

juce::String MvRadioButtons::RadioButton::getDisplayText() const
{
    if (text.isNotEmpty())
        return text;

    static const juce::String letters ("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

    if (buttonIndex < 0 || buttonIndex >= letters.length())
        return {};

    return letters.substring (buttonIndex, buttonIndex + 1);
}

void MvRadioButtons::RadioButton::paint (juce::Graphics& g)
{
    if (offImage.isValid())
    {
        const juce::Image* picture = &offImage;

        if (selected)
            picture = &onImage;
        else if (pressed)
            picture = pressedImage.isValid() ? &pressedImage : &onImage;

        if (picture->isNull() || g.isClipEmpty())
            return;

        juce::AffineTransform t;

        if (picture->getWidth() >= 1 && picture->getHeight() >= 1)
            t = juce::AffineTransform::scale ((float) getWidth() / (float) picture->getWidth(),
                                              (float) getHeight() / (float) picture->getHeight());

        MvReducedImageCache::draw (g, *picture, t);
        return;
    }

    juce::uint32 fill = colours[fillNormal], textColour = colours[textNormal];

    if (selected)
    {
        fill = colours[fillSelected];
        textColour = colours[textSelected];
    }
    else if (hovered)
    {
        fill = colours[fillHovered];
        textColour = colours[textHovered];
    }

    g.fillAll (juce::Colour (fill));
    g.setColour (juce::Colour (textColour));
    g.setFont (font);
    g.drawText (getDisplayText(), getLocalBounds(), juce::Justification::centred, true);
}

//==============================================================================
MvRadioButtons::MvRadioButtons() = default;

MvRadioButtons::~MvRadioButtons()
{
    for (auto& b : buttons)
        removeChildComponent (&b);
}

void MvRadioButtons::mouseEnter (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->parameterMouseEntered (this, parameterIndex);

    repaint();
}

void MvRadioButtons::mouseExit (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->parameterMouseExited (this, parameterIndex);

    repaint();
}

void MvRadioButtons::resized()
{
    float pos = 0.0f;

    for (int i = 0; i < count; ++i)
    {
        auto& b = buttons[(size_t) i];

        if (vertical)
        {
            b.setBounds (0, (int) pos, (int) b.buttonWidth, (int) b.buttonHeight);
            pos += b.buttonHeight + b.gapAfter;
        }
        else
        {
            b.setBounds ((int) pos, 0, (int) b.buttonWidth, (int) b.buttonHeight);
            pos += b.buttonWidth + b.gapAfter;
        }
    }
}

void MvRadioButtons::setValue (float newValue)
{
    value = newValue;
    const int n = count;
    int k = -1;

    switch (mappingMode)
    {
        case 0: k = (int) std::round (newValue * (float) (n - 1)); break;
        case 1: k = juce::jmin ((int) std::round (getValue() * (float) n), n - 1); break;
        case 2: k = (int) (newValue * (float) (n - 1)); break;
        default: break;
    }

    for (int i = 0; i < n; ++i)
    {
        auto& b = buttons[(size_t) i];
        b.selected = (b.buttonIndex == k);
        b.repaint();
    }
}

void MvRadioButtons::radioButtonMouseEntered (int buttonIndex)
{
    if (hoverListener != nullptr)
        hoverListener->radioButtonMouseEntered (this, buttonIndex);
}

void MvRadioButtons::radioButtonMouseExited (int buttonIndex)
{
    if (hoverListener != nullptr)
        hoverListener->radioButtonMouseExited (this, buttonIndex);
}

void MvRadioButtons::setSelectedIndex (int buttonIndex)
{
    const int n = count;

    for (int i = 0; i < n; ++i)
    {
        auto& b = buttons[(size_t) i];
        b.selected = (b.buttonIndex == buttonIndex);
        b.repaint();
    }

    // A single button in modes 0 and 2 (n - 1 = 0) and an unknown mode write 0.
    const int divisor = (mappingMode == 1) ? n : ((mappingMode == 0 || mappingMode == 2) ? n - 1 : 0);
    float v = divisor > 0 ? (float) buttonIndex / (float) divisor : 0.0f;

    if (v < 0.0f)
        v = 0.0f;
    else if (v > 1.0f)
        v = 1.0f;

    value = v;

    if (delegate != nullptr)
    {
        delegate->parameterDragStarted (this, parameterIndex);
        delegate->parameterValueChanged (this, parameterIndex, value);
        delegate->parameterDragEnded (this, parameterIndex);
    }
}

void MvRadioButtons::addButton (const juce::Image& offPicture, const juce::Image& onPicture,
                                float width, float height, float gap)
{
    jassert (count < maxButtons); // a group holds at most ten buttons

    if (count >= maxButtons)
        return;

    auto& b = buttons[(size_t) count];
    b.buttonIndex = count;
    b.offImage = offPicture;
    b.onImage = onPicture;
    b.pressedImage = {};
    b.buttonWidth = width;
    b.buttonHeight = height;
    b.gapAfter = gap;
    b.owner = this;
    b.selected = false;
    b.hovered = false;
    b.pressed = false;
    b.repaint();
    b.setVisible (true);
    addChildComponent (b, -1);
    ++count;
}

juce::Rectangle<int> MvRadioButtons::getContentSize() const
{
    if (count <= 0)
        return {};

    float w = 0.0f, h = 0.0f;

    for (int i = 0; i < count; ++i)
    {
        const auto& b = buttons[(size_t) i];

        if (vertical)
        {
            w = juce::jmax (w, b.buttonWidth);
            h += b.buttonHeight + b.gapAfter;
        }
        else
        {
            w += b.buttonWidth + b.gapAfter;
            h = juce::jmax (h, b.buttonHeight + b.gapAfter);
        }
    }

    return { 0, 0, (int) w, (int) h };
}

int MvRadioButtons::getSelectedIndex() const
{
    for (int i = 0; i < count; ++i)
        if (buttons[(size_t) i].selected)
            return i;

    return -1;
}
