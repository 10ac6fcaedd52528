#include "VinolaArtPreview.h"
#include "MvAssetArchive.h"

using namespace juce;

namespace
{
    struct Archive
    {
        const MvAssetArchive& archive;

        Image image (const String& name) const
        {
            for (int i = 0; i < archive.getNumEntries(); ++i)
                if (archive.getName (i) == name)
                    return ImageFileFormat::loadFrom (archive.getData (i).getData(), archive.getData (i).getSize());
            return {};
        }

        Font font() const
        {
            for (int i = 0; i < archive.getNumEntries(); ++i)
                if (archive.getName (i) == "Inter-Light-BETA.ttf")
                    if (auto face = Typeface::createSystemTypefaceFor (archive.getData (i).getData(), archive.getData (i).getSize()))
                        return Font (face);
            return {};
        }
    };

    void stretched (Graphics& g, const Image& image, Rectangle<float> r)
    {
        if (image.isValid())
            g.drawImage (image, r, RectanglePlacement::stretchToFit);
    }

    void rotated (Graphics& g, const Image& image, Rectangle<float> box, float angle)
    {
        if (! image.isValid())
            return;
        const auto k = box.getWidth() / (float) image.getWidth();
        g.drawImageTransformed (image, AffineTransform::rotation (angle, (float) image.getWidth() * 0.5f, (float) image.getHeight() * 0.5f)
                                           .scaled (k).translated (box.getX(), box.getY()));
    }

    void caption (Graphics& g, const Font& font, const String& text, Rectangle<float> bounds, float dx, float dy)
    {
        // Captions are drawn in the doubled background at height 19, below their control.
        g.setFont (font.withHeight (19.0f * 0.5f));
        g.setColour (Colours::black);
        const auto tw = font.withHeight (19.0f).getStringWidthFloat (text) * 0.5f;
        g.drawText (text, Rectangle<float> (bounds.getCentreX() - tw * 0.5f + dx * 0.5f, bounds.getBottom() + dy * 0.5f, tw, 12.0f),
                    Justification::centredTop, false);
    }
}

Image VinolaArtPreview::render (const MvAssetArchive& source)
{
    const Archive a { source };
    const auto font = a.font();
    const float range = MathConstants<float>::pi * 0.75f;
    auto angleFor = [range] (float v) { return range * (2.0f * v - 1.0f); };

    Image canvas (Image::RGB, 1496, 700, true, SoftwareImageType());
    Graphics g (canvas);
    g.addTransform (AffineTransform::scale (2.0f));
    g.fillAll (Colour (0xff7f7f7f));
    stretched (g, a.image ("vinola_bg_clean.png"), { 0, 0, 748, 350 });
    stretched (g, a.image ("vinola_record_and_arm.png"), { 366, -1, 382, 352 });

    const float xs[] = { 27, 104, 181, 258 };
    const char* top[] = { "vinola_knob_ampquality_hifi.png", "vinola_knob_ampquality_hifi.png", "vinola_knob_scratches.png", "vinola_knob_ducking_no_dot.png" };
    const char* topCaptions[] = { "AMP QUALITY", "HI-FI", "SCRATCHES", "DUCKING" };
    const char* bottomCaptions[] = { "WOBBLE", "INPUT GAIN", "OUTPUT GAIN", "DRY/WET" };
    const char* sliderCaptions[] = { "AMP NOISE", "VINYL NOISE", "SCRATCH GAIN", "HUM" };
    const auto plate = a.image ("vinola_topknob_bg.png");
    for (int i = 0; i < 4; ++i)
    {
        const float v = 0.15f + 0.23f * (float) i;
        const Rectangle<float> knob { xs[i], 17, 64, 64 };
        if (plate.isValid())
            g.drawImage (plate, Rectangle<float> ((float) plate.getWidth() * 0.5f, (float) plate.getHeight() * 0.5f).withCentre (knob.getCentre()));
        rotated (g, a.image (top[i]), knob, angleFor (v));
        caption (g, font, topCaptions[i], knob, 0, 5);
        if (i == 3)
        {
            g.setColour (Colour (0xffdd8667));
            g.fillEllipse (Rectangle<float> (8.0f, 8.0f).withCentre (knob.getCentre()));
        }

        const Rectangle<float> slider { xs[i], 104, 64, 128 };
        caption (g, font, sliderCaptions[i], slider, 0, -20);
        stretched (g, a.image ("vinola_slider_track.png"), { slider.getCentreX() - 1.0f, slider.getY() + 9.0f, 2.0f, 94.0f });
        stretched (g, a.image ("vinola_slider_handle.png"),
                   { slider.getCentreX() - 49.5f, slider.getY() + (1.0f - (0.98f * v + 0.02f)) * 94.0f, 99.0f, 50.0f });

        const Rectangle<float> bottom { xs[i], 250, 64, 64 };
        caption (g, font, bottomCaptions[i], bottom, 0, 5);
        rotated (g, a.image ("vinola_knob_bottomrow.png"), bottom.reduced (10.0f), angleFor (v));
        Path arc;
        arc.addCentredArc (bottom.getCentreX(), bottom.getCentreY(), 31.0f, 31.0f, 0.0f, -range, angleFor (v), true);
        g.setColour (Colour (0xffdd9073));
        g.strokePath (arc, PathStrokeType (1.0f));
    }

    const Rectangle<float> cable { 341, 250, 25, 53 };
    const float cableValue = 0.7f;
    caption (g, font, "CABLE QUALITY", cable, 39, 27);
    g.saveState();
    g.reduceClipRegion (cable.toNearestInt());
    stretched (g, a.image ("vinola_cablequality_white_bg.png"), cable);
    stretched (g, a.image ("vinola_cablequality_numbers.png"),
               { cable.getX() + 8.0f, cable.getY() + 26.5f - 106.5f * (1.0f - (0.92f * cableValue + 0.04f)), 13.5f, 106.5f });
    stretched (g, a.image ("vinola_cablequality_window.png"), cable);
    g.restoreState();

    stretched (g, a.image ("vinola_btn_50Hz_on.png"), { 311, 196, 77, 17 });
    stretched (g, a.image ("vinola_btn_60Hz_off.png"), { 311, 218, 77, 17 });

    auto label = a.image ("vinola_recordlabel_noversion.png");
    if (label.isValid())
    {
        label = label.createCopy();
        Graphics lg (label);
        lg.setFont (font.withHeight (16.0f));
        lg.drawText ("v1.1.2", Rectangle<int> (150, 95, 50, 25), Justification::centred, true);
    }
    rotated (g, label, { 482, 119, 108, 108 }, 0.6f);
    stretched (g, a.image ("vinola_record_center_peg.png"), { 536 - 15, 173 - 15, 30, 30 });

    g.saveState();
    g.reduceClipRegion (648, 246, 92, 104);
    stretched (g, a.image ("vinola_generatoricons_and_track.png"), { 648, 246, 104, 104 });
    rotated (g, a.image ("vinola_btn_generators_handle.png"), { 648 + 31, 246 + 28, 58, 56 }, 0.0f);
    g.restoreState();

    stretched (g, a.image ("vinola_btn_zoom.png"), { 6, 6, 16, 16 });
    return canvas;
}
