#include "MvListItem.h"

#include <cstdlib>

MvListItem::Delegate::~Delegate() = default;

MvListItem::MvListItem (const MvCaptionedImage& a, const juce::String& t)
    : appearance (a), text (t)
{
}

MvListItem::~MvListItem() = default;

void MvListItem::mouseDown (const juce::MouseEvent&)
{
    if (! isEnabled())
        return;

    auto* parent = getParentComponent();
    parentYAtPress = parent != nullptr ? parent->getY() : 0;
    pressed = true;
    repaint();
}

void MvListItem::mouseUp (const juce::MouseEvent& e)
{
    if (! isEnabled())
        return;

    pressed = false;

    auto* parent = getParentComponent();
    const int parentY = parent != nullptr ? parent->getY() : 0;

    const bool inside = e.x >= 0 && e.x < getWidth() && e.y >= 0 && e.y < getHeight();
    // A press that scrolled the content is a drag of the list, not a choice.
    const bool notScrolled = std::abs (parentY - parentYAtPress) <= 1;

    if (inside && ! selected && notScrolled && delegate != nullptr)
    {
        juce::Component::SafePointer<MvListItem> self (this);
        delegate->listItemClicked (this);

        if (self == nullptr)
            return;
    }

    repaint();
}

void MvListItem::paint (juce::Graphics& g)
{
    const auto& style = appearance.style;
    const auto w = (float) getWidth(), h = (float) getHeight();

    const auto fill = selected ? style.fillColourSelected
                    : pressed  ? style.fillColourPressed
                               : style.fillColourNormal;
    g.setColour (juce::Colour (fill));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, style.cornerRadius);

    const bool hasIcon = appearance.icon.isValid();

    if (text.isNotEmpty())
    {
        auto textColour = juce::Colour (selected ? style.textColourSelected
                                      : pressed  ? style.textColourPressed
                                                 : style.captionColour);

        if (! selected && ! pressed && ! isEnabled())
            textColour = textColour.withAlpha ((juce::uint8) 0x66);

        const float room = hasIcon ? appearance.iconWidth + appearance.iconGap : 0.0f;
        const float left = style.captionOffsetX + (appearance.iconOnRight == 0 ? room : 0.0f);
        const juce::Rectangle<float> box (left, 0.0f, w - room - style.captionOffsetX, h);

        const auto justification = style.labelPosition == 1 ? juce::Justification::centredRight
                                 : style.labelPosition == 3 ? juce::Justification::centredLeft
                                                            : juce::Justification::centred;

        g.setColour (textColour);
        g.setFont (style.captionFont);
        g.drawText (text, box, justification, true);
    }

    if (hasIcon)
    {
        const float iconX = appearance.iconOnRight != 0 ? w - appearance.iconGap - appearance.iconWidth
                                                        : appearance.iconGap;
        const juce::Rectangle<float> box (iconX, h / 2.0f - appearance.iconHeight / 2.0f,
                                          appearance.iconWidth, appearance.iconHeight);
        const auto& icon = appearance.icon;

        g.drawImageTransformed (icon,
                                juce::AffineTransform::scale (box.getWidth() / (float) icon.getWidth(),
                                                              box.getHeight() / (float) icon.getHeight())
                                    .translated (box.getX(), box.getY()),
                                false);
    }
}
