#include "MvPopupView.h"
#include "MvDynamicImage.h"

MvPopupView::Delegate::~Delegate() = default;

MvPopupView::MvPopupView()
{
    plate.colour = juce::Colour (0x7f000000);
    background.fillColour = 0xff7f7f7f;
}

MvPopupView::~MvPopupView()
{
    for (auto& slice : sliceImages)
        slice = {};
}

void MvPopupView::setPlateImage (const juce::Image& plateImage)
{
    const int hw = plateImage.getWidth() / 2;
    const int hh = plateImage.getHeight() / 2;

    cornerSize = { (float) hw * 0.5f, (float) hh * 0.5f };

    sliceImages[topLeft]     = plateImage.getClippedImage ({ 0, 0, hw, hh });
    sliceImages[leftEdge]    = plateImage.getClippedImage ({ 0, hh - 2, hw, 2 });
    sliceImages[bottomLeft]  = plateImage.getClippedImage ({ 0, hh, hw, hh });
    sliceImages[topEdge]     = plateImage.getClippedImage ({ hw - 1, 0, 2, hh });
    sliceImages[bottomEdge]  = plateImage.getClippedImage ({ hw - 1, hh, 2, hh });
    sliceImages[topRight]    = plateImage.getClippedImage ({ hw, 0, hw, hh });
    sliceImages[rightEdge]   = plateImage.getClippedImage ({ hw, hh - 1, hw, 2 });
    sliceImages[bottomRight] = plateImage.getClippedImage ({ hw, hh, hw, hh });

    backgroundColour = plateImage.isValid() ? plateImage.getPixelAt (hw, hh) : juce::Colour();
    usePlateImage = true;
}

void MvPopupView::paintBackground (juce::Graphics& g, float width, float height)
{
    if (! usePlateImage)
    {
        g.fillAll (backgroundColour);
        return;
    }

    g.fillAll (juce::Colours::transparentBlack);

    const float c = cornerSize.x;

    auto drawPiece = [&g] (const juce::Image& piece, juce::Rectangle<float> target)
    {
        if (piece.isNull())
            return;

        auto t = juce::AffineTransform::translation (target.getX(), target.getY());

        if (piece.getWidth() >= 1 && piece.getHeight() >= 1)
            t = juce::AffineTransform::scale (target.getWidth() / (float) piece.getWidth(),
                                              target.getHeight() / (float) piece.getHeight())
                    .translated (target.getX(), target.getY());

        g.drawImageTransformed (piece, t, false);
    };

    drawPiece (sliceImages[topLeft],     { 0.0f, 0.0f, c, c });
    drawPiece (sliceImages[topEdge],     { c, 0.0f, width - 2.0f * c, c });
    drawPiece (sliceImages[topRight],    { width - c, 0.0f, c, c });
    drawPiece (sliceImages[leftEdge],    { 0.0f, c, c, height - 2.0f * c });
    drawPiece (sliceImages[rightEdge],   { width - c, c, c, height - 2.0f * c });
    drawPiece (sliceImages[bottomLeft],  { 0.0f, height - c, c, c });
    drawPiece (sliceImages[bottomEdge],  { c, height - c, width - 2.0f * c, c });
    drawPiece (sliceImages[bottomRight], { width - c, height - c, c, c });

    g.setColour (backgroundColour);
    g.fillRect (juce::Rectangle<float> (c, c, width - 2.0f * c, height - 2.0f * c));
}

void MvPopupView::show()
{
    if (host == nullptr)
        return;

    if (showPlate)
    {
        plate.setVisible (true);
        host->addChildComponent (plate, -1);
    }

    setVisible (true);
    host->addChildComponent (*this, -1);

    resized();
    repaint();
}

void MvPopupView::removeFromParent()
{
    auto* parent = getParentComponent();

    if (parent == nullptr)
        return;

    if (showPlate)
        parent->removeChildComponent (parent->getIndexOfChildComponent (&plate));

    parent->removeChildComponent (parent->getIndexOfChildComponent (this));
}

void MvPopupView::dismiss()
{
    if (getParentComponent() == nullptr)
        return;

    removeFromParent();

    if (delegate != nullptr)
        delegate->popupViewDismissed (this);
}

void MvPopupView::plateViewClicked (MvPlateView*)
{
    dismiss();
}

void MvPopupView::resized()
{
    if (host != nullptr)
        plate.setBounds (0, 0, host->getWidth(), host->getHeight());

    background.render (this, (float) getWidth(), (float) getHeight());
}

void MvPopupView::paint (juce::Graphics& g)
{
    const auto& image = background.renderedImage;

    if (image.isNull() || image.getWidth() < 1 || image.getHeight() < 1)
        return;

    g.drawImageTransformed (image,
                            juce::AffineTransform::scale ((float) getWidth() / (float) image.getWidth(),
                                                          (float) getHeight() / (float) image.getHeight()),
                            false);
}
