#include "VinolaKnobArt.h"
#include "VinolaArtStyle.h"

using Style = VinolaArtStyle;

namespace
{
    // Top-row caps are smaller than their 64-unit box, so the plate's scale shows around them.
    constexpr float topCapRadius = 19.0f;
}

void VinolaKnobArt::paintQualityKnob (juce::Graphics& g, float w, float h)
{
    Style::knobCap (g, { w * 0.5f, h * 0.5f }, topCapRadius, Style::bakelite, Style::chromeDark.brighter (0.3f), Style::cream, 0.18f);
}

void VinolaKnobArt::paintScratchesKnob (juce::Graphics& g, float w, float h)
{
    Style::knobCap (g, { w * 0.5f, h * 0.5f }, topCapRadius, Style::copperDark, Style::chromeDark.brighter (0.3f), Style::cream, 0.18f);
}

void VinolaKnobArt::paintDuckingKnob (juce::Graphics& g, float w, float h)
{
    const juce::Point<float> c { w * 0.5f, h * 0.5f };
    Style::knobCap (g, c, topCapRadius, Style::slate, Style::chromeDark.brighter (0.3f), Style::cream, 0.45f);

    // A dark well for the copper dot the control draws live in the middle.
    const auto well = juce::Rectangle<float> (12.0f, 12.0f).withCentre (c);
    g.setGradientFill ({ Style::slateDark.darker (0.6f), c, Style::slateDark, c.translated (6.0f, 0.0f), true });
    g.fillEllipse (well);
    g.setColour (juce::Colours::white.withAlpha (0.25f));
    g.drawEllipse (well.translated (0.0f, 0.3f), 0.5f);
}

void VinolaKnobArt::paintBottomRowKnob (juce::Graphics& g, float w, float h)
{
    Style::knobCap (g, { w * 0.5f, h * 0.5f }, w * 0.5f - 1.0f, Style::cream.darker (0.08f), Style::chromeDark.brighter (0.2f), Style::slateDark, 0.15f, false);
}

void VinolaKnobArt::paintTopKnobPlate (juce::Graphics& g, float w, float h)
{
    using namespace juce;
    const Point<float> c { w * 0.5f, h * 0.5f };

    // Recessed ring the cap sits in.
    const auto recess = Rectangle<float> (2.0f * (topCapRadius + 2.0f), 2.0f * (topCapRadius + 2.0f)).withCentre (c);
    g.setGradientFill ({ Style::ink.withAlpha (0.35f), recess.getTopLeft(), Colours::white.withAlpha (0.5f), recess.getBottomRight(), false });
    g.drawEllipse (recess, 1.0f);

    // Eleven ticks over the knob's 270-degree travel, longer at both ends and the middle.
    const float range = MathConstants<float>::pi * 0.75f;
    for (int i = 0; i <= 10; ++i)
    {
        const auto a = -range + 2.0f * range * (float) i / 10.0f;
        const bool major = (i == 0 || i == 5 || i == 10);
        const auto tick = Line<float>::fromStartAndAngle (c, major ? 29.5f : 27.5f, a).withShortenedStart (24.0f);
        g.setColour (Style::ink.withAlpha (major ? 0.9f : 0.65f));
        g.drawLine (tick, major ? 1.1f : 0.7f);
    }

    // Small filled dots mark the minimum and maximum.
    for (auto a : { -range - 0.2f, range + 0.2f })
    {
        const auto p = c.getPointOnCircumference (26.5f, a);
        g.setColour (a < 0 ? Style::ink.withAlpha (0.5f) : Style::copperDark);
        g.fillEllipse (Rectangle<float> (2.2f, 2.2f).withCentre (p));
    }
}
