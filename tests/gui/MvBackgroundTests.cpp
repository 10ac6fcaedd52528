// Tests of MvBackgroundElement, MvCaptionStyle, MvBackground (with its Delegate),
// MvBackgroundLayer, MvDynamicImage, MvPixelFilter and DefaultPixelFilter.

#include "MvControlTestSupport.h"
#include "MvBackground.h"
#include "MvBackgroundElement.h"
#include "MvBackgroundLayer.h"
#include "MvCaptionStyle.h"
#include "MvDynamicImage.h"
#include "MvPixelFilter.h"
#include "DefaultPixelFilter.h"
#include "MvImageKnob.h"
#include "MvRadioButtons.h"

using namespace mvtest;

namespace
{
    const juce::Colour grey (0xFF7F7F7F);

    // A plain component with static art.
    struct Plate : public juce::Component, public MvBackgroundElement {};

    // A component that renders its own background, like a popup view.
    struct Layer : public juce::Component, public MvBackgroundLayer {};

    struct PaintingDelegate : public MvBackground::Delegate
    {
        void paintBackground (juce::Graphics& g, float w, float h) override
        {
            ++calls;
            width = w;
            height = h;
            g.setColour (juce::Colours::blue);
            g.fillRect (10, 10, 5, 5); // owner coordinates: (20, 20, 10, 10) in the image
        }

        int calls = 0;
        float width = 0, height = 0;
    };

    juce::Colour pixel (const MvBackground& b, int x, int y) { return b.renderedImage.getPixelAt (x, y); }
}

//==============================================================================
TEST (MvCaptionStyle, FreshRecordHoldsTheElementDefaults)
{
    MvCaptionStyle s;
    EXPECT_EQ (s.labelPosition, 2);
    EXPECT_EQ (s.captionColour, 0xFF020202u);
    EXPECT_EQ (s.textColourSelected, 0xFF020202u);
    EXPECT_EQ (s.textColourPressed, 0xFF020202u);
    EXPECT_EQ (s.fillColourNormal, 0u);
    EXPECT_EQ (s.fillColourSelected, 0u);
    EXPECT_EQ (s.fillColourPressed, 0u);
    EXPECT_EQ (s.cornerRadius, 3.0f);
    EXPECT_EQ (s.captionOffsetX, 0.0f);
    EXPECT_EQ (s.captionOffsetY, 0.0f);
    EXPECT_EQ (s.captionFont.getHeight(), 18.0f);
    EXPECT_EQ (s.captionFont.getTypefaceName(), juce::Font().getTypefaceName());
    EXPECT_EQ (s.captionFontHeight, 18.0f);
}

TEST (MvBackgroundElement, Defaults)
{
    Plate e;
    EXPECT_EQ (e.labelPosition, 2);
    EXPECT_EQ (e.captionColour, 0xFF020202u);
    EXPECT_EQ (e.captionFont.getHeight(), 18.0f);
    EXPECT_EQ (e.captionFontHeight, 18.0f);
    EXPECT_EQ (e.cornerRadius, 3.0f);
    EXPECT_TRUE (e.image.isNull());
    EXPECT_TRUE (e.caption.isEmpty());
    EXPECT_EQ (e.drawWidth, 0.0f);
    EXPECT_EQ (e.drawHeight, 0.0f);
}

TEST (MvBackgroundElement, SetImageKeepsASharedReferenceAndItsSize)
{
    Plate e;
    auto picture = solid (30, 12, juce::Colours::red);
    e.setImage (picture);
    EXPECT_EQ (e.image, picture); // the same pixels, not a copy
    EXPECT_EQ (e.drawWidth, 30.0f);
    EXPECT_EQ (e.drawHeight, 12.0f);
    e.setImage ({});
    EXPECT_EQ (e.drawWidth, 0.0f);
    EXPECT_EQ (e.drawHeight, 0.0f);
}

TEST (MvBackgroundElement, SetImageAndLabelCopiesEveryStyleField)
{
    MvCaptionStyle s;
    s.labelPosition = 7;
    s.captionColour = 0xFF112233;
    s.textColourSelected = 1;
    s.textColourPressed = 2;
    s.fillColourNormal = 3;
    s.fillColourSelected = 4;
    s.fillColourPressed = 5;
    s.cornerRadius = 6.0f;
    s.captionOffsetX = 7.0f;
    s.captionOffsetY = 8.0f;
    s.captionFont = juce::Font (11.0f, juce::Font::bold);
    s.captionFontHeight = 9.0f;

    Plate e;
    e.setImageAndLabel (solid (4, 5, juce::Colours::red), "CAP", s);
    EXPECT_EQ (e.caption, "CAP");
    EXPECT_EQ (e.drawWidth, 4.0f);
    EXPECT_EQ (e.drawHeight, 5.0f);

    // Every style field arrives, and reads back as one record.
    const auto back = e.getCaptionStyle();
    EXPECT_EQ (back.labelPosition, s.labelPosition);
    for (auto [got, want] : { std::pair { back.captionColour, s.captionColour },
                              std::pair { back.textColourSelected, s.textColourSelected },
                              std::pair { back.textColourPressed, s.textColourPressed },
                              std::pair { back.fillColourNormal, s.fillColourNormal },
                              std::pair { back.fillColourSelected, s.fillColourSelected },
                              std::pair { back.fillColourPressed, s.fillColourPressed } })
        EXPECT_EQ (got, want);
    for (auto [got, want] : { std::pair { back.cornerRadius, s.cornerRadius }, std::pair { back.captionOffsetX, s.captionOffsetX },
                              std::pair { back.captionOffsetY, s.captionOffsetY }, std::pair { back.captionFontHeight, s.captionFontHeight } })
        EXPECT_EQ (got, want);
    EXPECT_EQ (back.captionFont, s.captionFont);
}

TEST (MvBackgroundElement, OneLetterCaptionUnderA64PixelControlAt27And17)
{
    Plate e;
    e.caption = "A";
    const float tw = e.captionFont.getStringWidthFloat ("A");
    ASSERT_GT (tw, 0.0f);
    const juce::Rectangle<float> area (54, 34, 128, 128);
    const auto box = e.getLabelPosition (area, { 54, 34 });
    EXPECT_FLOAT_EQ (box.getY(), 2.0f * 17.0f + 128.0f);
    EXPECT_FLOAT_EQ (box.getX(), 54.0f + (128.0f - tw) / 2.0f);
    EXPECT_FLOAT_EQ (box.getWidth(), tw);
    EXPECT_FLOAT_EQ (box.getHeight(), 23.0f);
}

TEST (MvBackgroundElement, TheNineLabelPositionsAndTheOffsets)
{
    Plate e;
    e.caption = "SCRATCHES";
    e.captionFontHeight = 10.0f; // bh = 15
    e.captionOffsetX = 3.0f;
    e.captionOffsetY = -2.0f;
    const float tw = e.captionFont.getStringWidthFloat (e.caption);
    const juce::Rectangle<float> area (0, 0, 100, 60); // only the size counts
    const juce::Point<float> o (10, 20);
    const float bh = 15.0f;

    const juce::Point<float> expected[] = {
        { o.x + (100 - tw) / 2, o.y - bh },          // 0 above
        { o.x + 100,            o.y + (60 - bh) / 2 }, // 1 right of
        { o.x + (100 - tw) / 2, o.y + 60 },          // 2 below
        { o.x - tw,             o.y + (60 - bh) / 2 }, // 3 left of
        { o.x,                  o.y - bh },          // 4 above, left-aligned
        { o.x + 100 - tw,       o.y - bh },          // 5 above, right-aligned
        { o.x,                  o.y + 60 },          // 6 below, left-aligned
        { o.x + 100 - tw,       o.y + 60 },          // 7 below, right-aligned
        { o.x + (100 - tw) / 2, o.y + (60 - bh) / 2 }, // 8 centred
        { 0, 0 },                                    // 9: only the offsets
    };

    for (int p = 0; p <= 9; ++p)
    {
        e.labelPosition = p;
        const auto box = e.getLabelPosition (area, o);
        EXPECT_FLOAT_EQ (box.getX(), expected[p].x + 3.0f) << "position " << p;
        EXPECT_FLOAT_EQ (box.getY(), expected[p].y - 2.0f) << "position " << p;
        EXPECT_FLOAT_EQ (box.getWidth(), tw) << "position " << p;
        EXPECT_FLOAT_EQ (box.getHeight(), bh) << "position " << p;
    }

    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (0), juce::Justification::centredBottom);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (1), juce::Justification::centredLeft);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (2), juce::Justification::centredTop);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (3), juce::Justification::centredRight);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (4), juce::Justification::bottomLeft);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (5), juce::Justification::bottomRight);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (6), juce::Justification::topLeft);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (7), juce::Justification::topRight);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (8), juce::Justification::centred);
    EXPECT_EQ (MvBackgroundElement::justificationForLabelPosition (9), juce::Justification::centred);
}

TEST (MvBackgroundElement, EmptyCaptionHasAnEmptyBoxAndDrawsNothing)
{
    Plate e;
    e.captionOffsetX = 5.0f;
    EXPECT_EQ (e.getLabelPosition ({ 0, 0, 10, 10 }, { 3, 3 }), juce::Rectangle<float>());

    auto image = solid (50, 50, juce::Colours::white);
    {
        juce::Graphics g (image);
        e.drawLabel (g, { 0, 0, 20, 20 }, { 5, 5 });
        e.drawImage (g, { 0, 0, 20, 20 }, { 5, 5 }); // no image either
        e.paintExtra (g, { 0, 0, 20, 20 }, { 5, 5 });
    }
    EXPECT_EQ (countPixelsNot (image, image.getBounds(), juce::Colours::white, 0), 0);
}

//==============================================================================
TEST (MvBackground, An748By350OwnerGetsA1496By700Image)
{
    juce::Component owner;
    owner.setSize (748, 350);
    MvBackground background;
    EXPECT_TRUE (background.renderedImage.isNull());
    EXPECT_EQ (background.getDynamicImage(), nullptr);

    background.render (&owner, 748.0f, 350.0f);
    ASSERT_TRUE (background.renderedImage.isValid());
    EXPECT_EQ (background.renderedImage.getWidth(), 1496);
    EXPECT_EQ (background.renderedImage.getHeight(), 700);
    EXPECT_EQ (background.renderedImage.getFormat(), juce::Image::ARGB);
    EXPECT_EQ (background.getDynamicImage()->getWidth(), 1496);
    EXPECT_EQ (background.getDynamicImage()->getColour(), 0xFFFFFFFFu);
    EXPECT_EQ (background.getDynamicImage()->getPremultipliedColour(), 0u);
    EXPECT_EQ (pixel (background, 0, 0), grey);
    EXPECT_EQ (pixel (background, 1495, 699), grey);
}

TEST (MvBackground, FractionalSizesAreTruncatedAndEveryRenderReplacesTheImage)
{
    juce::Component owner;
    MvBackground background;
    background.render (&owner, 100.7f, 50.3f);
    EXPECT_EQ (background.renderedImage.getWidth(), 201);
    EXPECT_EQ (background.renderedImage.getHeight(), 100);
    auto* first = background.getDynamicImage();

    background.fillColour = 0xFF00FF00;
    background.render (&owner, 10.0f, 10.0f);
    EXPECT_EQ (background.renderedImage.getWidth(), 20);
    EXPECT_EQ (pixel (background, 3, 3), juce::Colours::lime);
    EXPECT_NE (background.getDynamicImage(), nullptr);
    (void) first;
}

TEST (MvBackground, ZeroSizeGivesAnImageWithoutPixels)
{
    juce::Component owner;
    MvBackground background;
    background.render (&owner, 0.0f, 350.0f);
    EXPECT_TRUE (background.renderedImage.isNull());
    ASSERT_NE (background.getDynamicImage(), nullptr);
    EXPECT_EQ (background.getDynamicImage()->getWidth(), 0);
}

TEST (MvBackground, BaseImageDelegateAndElementsAreDrawnInThisOrder)
{
    juce::Component owner;
    owner.setSize (40, 30);

    Plate plate; // over the delegate's square
    plate.setBounds (12, 12, 4, 4);
    plate.setImage (solid (8, 8, juce::Colours::red));
    owner.addAndMakeVisible (plate);

    PaintingDelegate delegate;
    MvBackground background;
    background.delegate = &delegate;
    auto base = solid (4, 3, juce::Colours::yellow);
    {
        juce::Graphics g (base);
        g.setColour (juce::Colours::black);
        g.fillRect (0, 0, 1, 1); // top-left base pixel -> (0, 0, 20, 20) in the image
    }
    background.baseImage = base;
    background.render (&owner, 40.0f, 30.0f);

    EXPECT_EQ (delegate.calls, 1);
    EXPECT_EQ (delegate.width, 40.0f);
    EXPECT_EQ (delegate.height, 30.0f);

    const auto& image = background.renderedImage;
    EXPECT_TRUE (near (image.getPixelAt (79, 59), juce::Colours::yellow)); // base stretched over all
    EXPECT_TRUE (near (image.getPixelAt (5, 5), juce::Colours::black));    // its first pixel, stretched 20 x
    EXPECT_EQ (countPixels (image, { 20, 20, 10, 10 }, juce::Colours::blue, 0), 100 - 36); // delegate, scaled 2 x, partly under the plate
    EXPECT_EQ (countPixels (image, { 24, 24, 8, 8 }, juce::Colours::red, 0), 64);         // the element on top
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red, 0), 64);
}

TEST (MvBackground, ElementsAreDrawnAtTwiceTheirPlaceAndNestedOnesAtTheirSummedPlace)
{
    juce::Component owner;
    owner.setSize (200, 100);

    MvImageKnob knob; // a 64 x 64 control with a plate made at twice its size
    knob.setBounds (27, 17, 64, 64);
    knob.setImage (solid (128, 128, juce::Colours::red));
    owner.addAndMakeVisible (knob);

    juce::Component panel; // a plain container
    panel.setBounds (100, 10, 80, 80);
    owner.addAndMakeVisible (panel);
    Plate inner;
    inner.setBounds (5, 6, 10, 10);
    inner.setImage (solid (20, 20, juce::Colours::blue));
    panel.addAndMakeVisible (inner);

    MvBackground background;
    background.render (&owner, 200.0f, 100.0f);
    const auto& image = background.renderedImage;
    EXPECT_EQ (countPixels (image, { 54, 34, 128, 128 }, juce::Colours::red, 0), 128 * 128);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red, 0), 128 * 128);
    EXPECT_EQ (countPixels (image, { 210, 32, 20, 20 }, juce::Colours::blue, 0), 400);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue, 0), 400);
}

TEST (MvBackground, SmallerPicturesAreCentredAndMovedByTheImageOffset)
{
    juce::Component owner;
    owner.setSize (100, 100);
    Plate plate;
    plate.setBounds (10, 10, 32, 32); // doubled: (20, 20, 64, 64)
    plate.setImage (solid (20, 10, juce::Colours::red));
    owner.addAndMakeVisible (plate);

    MvBackground background;
    background.render (&owner, 100.0f, 100.0f);
    // Centred: (20 + 22, 20 + 27).
    EXPECT_EQ (countPixels (background.renderedImage, { 42, 47, 20, 10 }, juce::Colours::red, 0), 200);

    plate.imageOffsetX = -30.0f;
    plate.imageOffsetY = 5.0f;
    plate.drawWidth = 40.0f; // drawn at 40 x 10
    background.render (&owner, 100.0f, 100.0f);
    EXPECT_EQ (countPixels (background.renderedImage, { 2, 52, 40, 10 }, juce::Colours::red, 0), 400);
    EXPECT_EQ (countPixels (background.renderedImage, background.renderedImage.getBounds(), juce::Colours::red, 0), 400);
}

TEST (MvBackground, HiddenSubtreesAndBackgroundLayersAreSkipped)
{
    juce::Component owner;
    owner.setSize (100, 100);

    Plate hidden;
    hidden.setBounds (0, 0, 10, 10);
    hidden.setImage (solid (20, 20, juce::Colours::red));
    owner.addChildComponent (hidden); // not visible

    juce::Component hiddenPanel;
    hiddenPanel.setBounds (20, 0, 30, 30);
    owner.addChildComponent (hiddenPanel);
    Plate insideHidden;
    insideHidden.setBounds (0, 0, 10, 10);
    insideHidden.setImage (solid (20, 20, juce::Colours::red));
    hiddenPanel.addAndMakeVisible (insideHidden);

    Layer layer;
    layer.setBounds (50, 50, 40, 40);
    owner.addAndMakeVisible (layer);
    Plate insideLayer;
    insideLayer.setBounds (0, 0, 10, 10);
    insideLayer.setImage (solid (20, 20, juce::Colours::red));
    layer.addAndMakeVisible (insideLayer);

    Plate visible;
    visible.setBounds (0, 60, 10, 10);
    visible.setImage (solid (20, 20, juce::Colours::blue));
    owner.addAndMakeVisible (visible);

    MvBackground background;
    background.render (&owner, 100.0f, 100.0f);
    const auto& image = background.renderedImage;
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::red, 0), 0);
    EXPECT_EQ (countPixels (image, image.getBounds(), juce::Colours::blue, 0), 400);

    // Shown again, they all contribute, except what is inside the layer.
    hidden.setVisible (true);
    hiddenPanel.setVisible (true);
    background.render (&owner, 100.0f, 100.0f);
    EXPECT_EQ (countPixels (background.renderedImage, background.renderedImage.getBounds(), juce::Colours::red, 0), 800);
}

TEST (MvBackground, ElementsInsideElementsAreDrawnToo)
{
    juce::Component owner;
    owner.setSize (100, 60);
    MvRadioButtons group;
    group.setVertical (true);
    group.addButton ({}, {}, 20.0f, 10.0f, 5.0f);
    group.addButton ({}, {}, 20.0f, 10.0f, 0.0f);
    group.setBounds (group.getContentSize().withPosition (10, 10));
    owner.addAndMakeVisible (group);
    group.getButton (1).setImage (solid (40, 20, juce::Colours::red)); // its element side

    MvBackground background;
    background.render (&owner, 100.0f, 60.0f);
    // Button 1 at (0, 15) in the group: (20, 50) in the image.
    EXPECT_EQ (countPixels (background.renderedImage, { 20, 50, 40, 20 }, juce::Colours::red, 0), 800);
}

TEST (MvBackground, CaptionsAreDrawnInTheirBoxAtImageScale)
{
    juce::Component owner;
    owner.setSize (200, 150);
    MvImageKnob knob;
    knob.setBounds (27, 17, 64, 64);
    knob.caption = "W";
    knob.captionColour = 0xFFFF0000;
    owner.addAndMakeVisible (knob);

    MvBackground background;
    background.fillColour = 0xFFFFFFFF;
    background.render (&owner, 200.0f, 150.0f);

    const auto box = knob.getLabelPosition ({ 54, 34, 128, 128 }, { 54, 34 }).getSmallestIntegerContainer();
    const auto& image = background.renderedImage;
    const int inside = countPixelsNot (image, box, juce::Colours::white, 0);
    const int all = countPixelsNot (image, image.getBounds(), juce::Colours::white, 0);
    EXPECT_GT (inside, 20);
    EXPECT_EQ (all, inside); // nothing outside the box
    EXPECT_GT (countPixels (image, box, juce::Colours::red, 10), 5);
}

TEST (MvBackground, WithoutDelegateOrBaseImageOnlyTheFill)
{
    juce::Component owner;
    owner.setSize (10, 10);
    MvBackground background;
    background.fillColour = 0x80FF0000;
    background.render (&owner, 10.0f, 10.0f);
    EXPECT_TRUE (near (background.renderedImage.getPixelAt (4, 4), juce::Colour (0x80FF0000), 3))
        << background.renderedImage.getPixelAt (4, 4).toDisplayString (true);
}

//==============================================================================
TEST (MvDynamicImage, PixelsAreArgbWordsInBgraMemoryOrder)
{
    MvDynamicImage d (4, 3);
    EXPECT_EQ (d.getWidth(), 4);
    EXPECT_EQ (d.getHeight(), 3);
    EXPECT_EQ (d.getPixel (0, 0), 0u); // cleared

    d.setPixel (2, 1, 0xFF112233);
    EXPECT_EQ (d.getPixel (2, 1), 0xFF112233u);
    const juce::Image::BitmapData data (d.getImage(), juce::Image::BitmapData::readOnly);
    const auto* p = data.getPixelPointer (2, 1);
    EXPECT_EQ (p[0], 0x33); // blue
    EXPECT_EQ (p[1], 0x22); // green
    EXPECT_EQ (p[2], 0x11); // red
    EXPECT_EQ (p[3], 0xFF); // alpha
    EXPECT_EQ (d.getImage().getPixelAt (2, 1), juce::Colour (0xFF112233));
}

TEST (MvDynamicImage, SetPixelClampsIntoTheImage)
{
    MvDynamicImage d (4, 3);
    d.setPixel (4, 1, 0xFF0000FF); // x = width: the last pixel of that row
    EXPECT_EQ (d.getPixel (3, 1), 0xFF0000FFu);
    d.setPixel (1, 99, 0xFF00FF00);
    EXPECT_EQ (d.getPixel (1, 2), 0xFF00FF00u);
    d.setPixel (-5, -5, 0xFFFF0000);
    EXPECT_EQ (d.getPixel (0, 0), 0xFFFF0000u);
}

TEST (MvDynamicImage, SubtractClampsEachChannelAtZero)
{
    MvDynamicImage d (2, 1);
    d.setPixel (0, 0, 0x80402010);
    d.setPixel (1, 0, 0xFFFFFFFF);
    d.subtract (0x50, 0x18);
    EXPECT_EQ (d.getPixel (0, 0), 0x30280800u);
    EXPECT_EQ (d.getPixel (1, 0), 0xAFE7E7E7u);

    d.subtract (255, 255);
    EXPECT_EQ (d.getPixel (0, 0), 0u);
    EXPECT_EQ (d.getPixel (1, 0), 0u);
}

TEST (MvDynamicImage, ClearSetsEveryPixelToZero)
{
    MvDynamicImage d (3, 3);
    {
        juce::Graphics g (d.getImage());
        g.fillAll (juce::Colours::red);
    }
    d.refreshBitmap();
    EXPECT_EQ (d.getPixel (1, 1), 0xFFFF0000u);
    d.clear();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ (d.getPixel (x, y), 0u);
}

TEST (MvDynamicImage, SetColourKeepsThePremultipliedFormAndPlotUsesIt)
{
    MvDynamicImage d (2, 2);
    d.setColour (0xFFFFFFFF);
    EXPECT_EQ (d.getColour(), 0xFFFFFFFFu);
    EXPECT_EQ (d.getPremultipliedColour(), 0xFFFFFFFFu);

    d.setColour (0x80FF4000);
    // a = 128 / 255; red = a * 255 / 255 -> 128; green = a * 64 / 255 * 255 = 32.125... -> 32.
    EXPECT_EQ (d.getColour(), 0x80FF4000u);
    EXPECT_EQ (d.getPremultipliedColour(), 0x80802000u);

    d.setColour (0x00FFFFFF);
    EXPECT_EQ (d.getPremultipliedColour(), 0u);

    d.setColour (0x40FF0000); // 64 * 255 / 255 = 64
    EXPECT_EQ (d.getPremultipliedColour(), 0x40400000u);
    d.plot (1, 1);
    EXPECT_EQ (d.getPixel (1, 1), 0x40400000u);
}

TEST (MvDynamicImage, PixelFilterReceivesTheValueTwiceAndIsReplaceable)
{
    struct Recorder : public MvPixelFilter
    {
        explicit Recorder (int& deaths) : deleted (deaths) {}
        ~Recorder() override { ++deleted; }
        void apply (juce::uint32* pixel, juce::uint32 v, juce::uint32 second) override
        {
            first = v;
            again = second;
            *pixel = v | 0xFF000000u;
        }
        int& deleted;
        juce::uint32 first = 0, again = 0;
    };

    int deaths = 0;
    {
        MvDynamicImage d (2, 2);
        auto* r = new Recorder (deaths);
        d.setPixelFilter (r);
        d.setPixel (0, 0, 0x00123456);
        EXPECT_EQ (r->first, 0x00123456u);
        EXPECT_EQ (r->again, 0x00123456u);
        EXPECT_EQ (d.getPixel (0, 0), 0xFF123456u);

        d.setPixelFilter (new Recorder (deaths)); // deletes the previous one
        EXPECT_EQ (deaths, 1);
    }
    EXPECT_EQ (deaths, 2); // the image deletes its filter

    DefaultPixelFilter f;
    juce::uint32 px = 7;
    f.apply (&px, 42, 99);
    EXPECT_EQ (px, 42u);
}

TEST (MvDynamicImage, ZeroSizeHasNoPixels)
{
    MvDynamicImage d (0, 5);
    EXPECT_TRUE (d.getImage().isNull());
    d.setPixel (0, 0, 1);
    d.plot (0, 0);
    d.clear();
    d.subtract (1, 1);
    EXPECT_EQ (d.getPixel (0, 0), 0u);
}

TEST (MvBackgroundLayer, IsFoundByCastingFromAComponent)
{
    Layer layer;
    juce::Component plain;
    juce::Component* a = &layer;
    juce::Component* b = &plain;
    EXPECT_NE (dynamic_cast<MvBackgroundLayer*> (a), nullptr);
    EXPECT_EQ (dynamic_cast<MvBackgroundLayer*> (b), nullptr);
    EXPECT_TRUE (std::is_empty<MvBackgroundLayer>::value);
}
