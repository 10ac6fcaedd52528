#include "MvBackgroundElement.h"
#include "MvDynamicImage.h"

MvBackgroundElement::MvBackgroundElement() = default;

MvBackgroundElement::~MvBackgroundElement()
{
    caption = {};
    captionFont = {};
    image = {};
}

void MvBackgroundElement::drawImage (juce::Graphics& g, juce::Rectangle<float> area, juce::Point<float> origin)
{
    if (image.isNull() || g.isClipEmpty())
        return;

    juce::AffineTransform t;

    if (image.getWidth() >= 1 && image.getHeight() >= 1)
        t = juce::AffineTransform::scale (drawWidth / (float) image.getWidth(), drawHeight / (float) image.getHeight())
                .translated (origin.x + (area.getWidth() - drawWidth) / 2.0f + imageOffsetX,
                             origin.y + (area.getHeight() - drawHeight) / 2.0f + imageOffsetY);

    g.drawImageTransformed (image, t, false);
}

void MvBackgroundElement::paintExtra (juce::Graphics&, juce::Rectangle<float>, juce::Point<float>) {}

juce::Justification MvBackgroundElement::justificationForLabelPosition (int position)
{
    switch (position)
    {
        case 0: return juce::Justification::centredBottom;
        case 1: return juce::Justification::centredLeft;
        case 2: return juce::Justification::centredTop;
        case 3: return juce::Justification::centredRight;
        case 4: return juce::Justification::bottomLeft;
        case 5: return juce::Justification::bottomRight;
        case 6: return juce::Justification::topLeft;
        case 7: return juce::Justification::topRight;
        default: return juce::Justification::centred;
    }
}

juce::Rectangle<float> MvBackgroundElement::getLabelPosition (juce::Rectangle<float> area, juce::Point<float> o)
{
    if (caption.isEmpty())
        return {};

    const float tw = captionFont.getStringWidthFloat (caption);
    const float bh = captionFontHeight + 5.0f;
    const float A = area.getWidth(), H = area.getHeight();
    float x = 0.0f, y = 0.0f;

    switch (labelPosition)
    {
        case 0: x = o.x + (A - tw) / 2.0f; y = o.y - bh;              break;
        case 1: x = o.x + A;               y = o.y + (H - bh) / 2.0f; break;
        case 2: x = o.x + (A - tw) / 2.0f; y = o.y + H;               break;
        case 3: x = o.x - tw;              y = o.y + (H - bh) / 2.0f; break;
        case 4: x = o.x;                   y = o.y - bh;              break;
        case 5: x = o.x + A - tw;          y = o.y - bh;              break;
        case 6: x = o.x;                   y = o.y + H;               break;
        case 7: x = o.x + A - tw;          y = o.y + H;               break;
        case 8: x = o.x + (A - tw) / 2.0f; y = o.y + (H - bh) / 2.0f; break;
        default: break;
    }

    return { x + captionOffsetX, y + captionOffsetY, tw, bh };
}

void MvBackgroundElement::drawLabel (juce::Graphics& g, juce::Rectangle<float> area, juce::Point<float> origin)
{
    if (caption.isEmpty())
        return;

    g.setFont (captionFont);
    g.setColour (juce::Colour (captionColour));
    g.drawText (caption, getLabelPosition (area, origin), justificationForLabelPosition (labelPosition), true);
}

void MvBackgroundElement::renderInto (juce::Component* component, MvDynamicImage* target, float x, float y)
{
    if (component == nullptr || target == nullptr || target->getImage().isNull())
        return;

    juce::Graphics g (target->getImage());
    const auto b = component->getBounds().toFloat();
    const juce::Rectangle<float> area (b.getX() * 2.0f, b.getY() * 2.0f, b.getWidth() * 2.0f, b.getHeight() * 2.0f);
    const juce::Point<float> origin (x, y);

    drawImage (g, area, origin);
    paintExtra (g, area, origin);
    drawLabel (g, area, origin);
}

void MvBackgroundElement::setImageAndLabel (const juce::Image& newImage, const juce::String& newCaption, const MvCaptionStyle& s)
{
    setImage (newImage);
    caption = newCaption;
    static_cast<MvCaptionStyle&> (*this) = s;
}

void MvBackgroundElement::setImage (const juce::Image& newImage)
{
    image = newImage;
    drawWidth = (float) image.getWidth();
    drawHeight = (float) image.getHeight();
}

