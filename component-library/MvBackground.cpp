#include "MvBackground.h"
#include "MvBackgroundElement.h"
#include "MvBackgroundLayer.h"
#include "MvDynamicImage.h"

MvBackground::Delegate::~Delegate() = default;

MvBackground::MvBackground() = default;
MvBackground::~MvBackground() = default;

void MvBackground::render (juce::Component* owner, float width, float height)
{
    dynamicImage.reset();
    dynamicImage = std::make_unique<MvDynamicImage> ((int) (2.0f * width), (int) (2.0f * height));

    auto& image = dynamicImage->getImage();

    if (image.isValid())
    {
        {
            juce::Graphics g (image);
            g.fillAll (juce::Colour (fillColour));

            if (baseImage.isValid())
                g.drawImageTransformed (baseImage,
                                        juce::AffineTransform::scale (2.0f * width / (float) baseImage.getWidth(),
                                                                      2.0f * height / (float) baseImage.getHeight()),
                                        false);

            if (delegate != nullptr)
            {
                g.saveState();
                g.addTransform (juce::AffineTransform::scale (2.0f));
                delegate->paintBackground (g, width, height);
                g.restoreState();
            }
        }

        if (owner != nullptr)
            walk (owner, {});
    }

    dynamicImage->refreshBitmap();
    renderedImage = dynamicImage->getImage();
}

void MvBackground::walk (juce::Component* parent, juce::Point<float> origin)
{
    const auto children = parent->getChildren(); // a copy: painting may not change the list under us

    for (auto* child : children)
    {
        if (child == nullptr || ! child->isVisible())
            continue;

        const auto childX = (float) child->getX(), childY = (float) child->getY();

        if (auto* element = dynamic_cast<MvBackgroundElement*> (child))
            element->renderInto (child, dynamicImage.get(), 2.0f * (childX + origin.x), 2.0f * (childY + origin.y));

        if (dynamic_cast<MvBackgroundLayer*> (child) != nullptr)
            continue;

        walk (child, { origin.x + childX, origin.y + childY });
    }
}
