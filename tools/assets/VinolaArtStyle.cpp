#include "VinolaArtStyle.h"

const juce::Colour VinolaArtStyle::panelTop    { 0xffece3cb };
const juce::Colour VinolaArtStyle::panelBottom { 0xffddd1b4 };
const juce::Colour VinolaArtStyle::ink         { 0xff2b2722 };
const juce::Colour VinolaArtStyle::slate       { 0xff39464d };
const juce::Colour VinolaArtStyle::slateDark   { 0xff1f272b };
const juce::Colour VinolaArtStyle::copper      { 0xffdd9073 };
const juce::Colour VinolaArtStyle::copperDark  { 0xffa85a3e };
const juce::Colour VinolaArtStyle::cream       { 0xfff3f2dd };
const juce::Colour VinolaArtStyle::chromeLight { 0xfff4f3ee };
const juce::Colour VinolaArtStyle::chromeDark  { 0xff6f7274 };
const juce::Colour VinolaArtStyle::vinyl       { 0xff141414 };
const juce::Colour VinolaArtStyle::bakelite    { 0xff26211e };

namespace
{
    juce::Typeface::Ptr& face (VinolaArtStyle::Weight w)
    {
        static juce::Typeface::Ptr faces[3];
        return faces[(int) w];
    }

    juce::Typeface::Ptr loadFace (const juce::File& file)
    {
        juce::MemoryBlock data;
        if (! file.loadFileAsData (data))
            return nullptr;
        return juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
    }
}

bool VinolaArtStyle::setFontFolder (const juce::File& folder)
{
    face (Weight::light)    = loadFace (folder.getChildFile ("Inter-Light.otf"));
    face (Weight::medium)   = loadFace (folder.getChildFile ("Inter-Medium.otf"));
    face (Weight::semiBold) = loadFace (folder.getChildFile ("Inter-SemiBold.otf"));
    return face (Weight::light) != nullptr && face (Weight::medium) != nullptr && face (Weight::semiBold) != nullptr;
}

juce::Font VinolaArtStyle::font (Weight weight, float height, float kerning)
{
    auto f = face (weight) != nullptr ? juce::Font (face (weight)) : juce::Font();
    f.setHeight (height);
    f.setExtraKerningFactor (kerning);
    return f;
}

void VinolaArtStyle::addGrain (juce::Image& image, juce::Rectangle<int> area, float amount, juce::uint32 seed)
{
    area = area.getIntersection (image.getBounds());
    juce::Image::BitmapData pixels (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                                    juce::Image::BitmapData::readWrite);
    auto state = seed * 2654435761u + 12345u;
    for (int y = 0; y < area.getHeight(); ++y)
    {
        for (int x = 0; x < area.getWidth(); ++x)
        {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const auto c = pixels.getPixelColour (x, y);
            if (c.getAlpha() == 0)
                continue;
            const auto delta = ((float) (state & 0xffff) / 65535.0f - 0.5f) * amount;
            pixels.setPixelColour (x, y, delta >= 0 ? c.brighter (delta) : c.darker (-delta));
        }
    }
}

void VinolaArtStyle::engravedLine (juce::Graphics& g, juce::Line<float> line, float width)
{
    const bool horizontal = std::abs (line.getEndY() - line.getStartY()) < std::abs (line.getEndX() - line.getStartX());
    const auto shift = horizontal ? juce::Point<float> (0.0f, width * 0.9f) : juce::Point<float> (width * 0.9f, 0.0f);
    g.setColour (juce::Colours::white.withAlpha (0.55f));
    g.drawLine ({ line.getStart() + shift, line.getEnd() + shift }, width);
    g.setColour (ink.withAlpha (0.55f));
    g.drawLine (line, width);
}

void VinolaArtStyle::screw (juce::Graphics& g, juce::Point<float> centre, float radius, float slotAngle)
{
    roundShadow (g, centre.translated (0.0f, radius * 0.25f), radius, radius * 0.6f, 0.35f);
    chromeDisc (g, juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre), 0.6f, radius * 0.12f);
    const auto slot = juce::Line<float>::fromStartAndAngle (centre, radius * 0.8f, slotAngle);
    const juce::Line<float> full (centre * 2.0f - slot.getEnd(), slot.getEnd());
    g.setColour (ink.withAlpha (0.8f));
    g.drawLine (full, radius * 0.28f);
}

void VinolaArtStyle::chromeDisc (juce::Graphics& g, juce::Rectangle<float> bounds, float outlineAlpha, float outlineWidth)
{
    g.setGradientFill ({ chromeLight, bounds.getTopLeft(), chromeDark, bounds.getBottomRight(), false });
    g.fillEllipse (bounds);
    g.setColour (ink.withAlpha (outlineAlpha));
    g.drawEllipse (bounds, outlineWidth);
}

void VinolaArtStyle::roundShadow (juce::Graphics& g, juce::Point<float> centre, float radius, float spread, float alpha)
{
    const auto outer = radius + spread;
    juce::ColourGradient shade (juce::Colours::black.withAlpha (alpha), centre,
                                juce::Colours::black.withAlpha (0.0f), centre.translated (outer, 0.0f), true);
    shade.addColour (radius / outer * 0.92, juce::Colours::black.withAlpha (alpha));
    g.setGradientFill (shade);
    g.fillEllipse (juce::Rectangle<float> (outer * 2.0f, outer * 2.0f).withCentre (centre));
}

void VinolaArtStyle::knobCap (juce::Graphics& g, juce::Point<float> centre, float radius,
                              juce::Colour top, juce::Colour skirt, juce::Colour pointer, float pointerStart,
                              bool withShadow)
{
    using namespace juce;
    if (withShadow)
        roundShadow (g, centre, radius, radius * 0.28f, 0.45f);

    // Knurled skirt: alternating light and dark ridges all round the edge.
    const auto outer = Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);
    g.setColour (skirt);
    g.fillEllipse (outer);
    const int ridges = 72;
    for (int i = 0; i < ridges; ++i)
    {
        const auto a = MathConstants<float>::twoPi * (float) i / (float) ridges;
        g.setColour ((i % 2 == 0 ? skirt.brighter (0.4f) : skirt.darker (0.4f)).withAlpha (0.45f));
        g.drawLine (Line<float>::fromStartAndAngle (centre, radius, a).withShortenedStart (radius * 0.84f), radius * 0.035f);
    }
    g.setColour (Colours::black.withAlpha (0.55f));
    g.drawEllipse (outer.reduced (radius * 0.02f), radius * 0.05f);

    // Chamfer ring between skirt and top.
    const auto chamfer = outer.reduced (radius * 0.17f);
    g.setGradientFill (ColourGradient (skirt.brighter (0.35f), centre, skirt.darker (0.4f),
                                       centre.translated (radius * 0.83f, 0.0f), true));
    g.fillEllipse (chamfer);

    // Slightly dished top with concentric turning marks.
    const auto face = outer.reduced (radius * 0.27f);
    ColourGradient dish (top.brighter (0.25f), centre, top.darker (0.25f), centre.translated (radius * 0.73f, 0.0f), true);
    dish.addColour (0.75, top);
    g.setGradientFill (dish);
    g.fillEllipse (face);
    for (int i = 1; i < 6; ++i)
    {
        g.setColour ((i % 2 == 0 ? Colours::white : Colours::black).withAlpha (0.05f));
        g.drawEllipse (face.reduced (face.getWidth() * 0.08f * (float) i), radius * 0.02f);
    }
    g.setColour (Colours::white.withAlpha (0.18f));
    g.drawEllipse (face, radius * 0.03f);

    // Pointer: an inlaid line from the centre region to the rim.
    const auto from = centre.translated (0.0f, -radius * pointerStart);
    const auto to = centre.translated (0.0f, -radius * 0.94f);
    g.setColour (Colours::black.withAlpha (0.5f));
    g.drawLine ({ from.translated (0.0f, radius * 0.02f), to.translated (0.0f, radius * 0.02f) }, radius * 0.16f);
    g.setColour (pointer);
    g.drawLine ({ from, to }, radius * 0.1f);
}

void VinolaArtStyle::centredText (juce::Graphics& g, const juce::String& text, juce::Point<float> centre,
                                  const juce::Font& f, juce::Colour colour)
{
    g.setFont (f);
    g.setColour (colour);
    const auto w = f.getStringWidthFloat (text) + 4.0f;
    const auto h = f.getHeight();
    g.drawText (text, juce::Rectangle<float> (w, h).withCentre (centre), juce::Justification::centred, false);
}
