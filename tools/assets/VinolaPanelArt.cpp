#include "VinolaPanelArt.h"
#include "VinolaArtStyle.h"

using Style = VinolaArtStyle;
using namespace juce;

namespace
{
    // Where the editor puts the controls (design units of the 748 x 350 window).
    constexpr float columnX[] = { 59.0f, 136.0f, 213.0f, 290.0f };
    constexpr float sliderTop = 104.0f;
    constexpr float bottomKnobY = 282.0f;
    const Rectangle<float> cableBounds { 341.0f, 250.0f, 25.0f, 53.0f };
    const Rectangle<float> humButtons { 311.0f, 196.0f, 77.0f, 39.0f };

    // The cap's centre for a slider value: the handle's top runs from 92.12 (value 0) to 0.
    float capCentreY (float value)
    {
        return sliderTop + (1.0f - (0.98f * value + 0.02f)) * 94.0f + VinolaPanelArt::handleCapCentreY;
    }

    void sliderSlot (Graphics& g, float cx)
    {
        const auto top = capCentreY (1.0f) - 5.0f;
        const auto bottom = capCentreY (0.0f) + 5.0f;
        const auto slot = Rectangle<float> (cx - 3.5f, top, 7.0f, bottom - top);
        g.setColour (Colours::white.withAlpha (0.6f));
        g.fillRoundedRectangle (slot.translated (0.0f, 0.8f).expanded (0.4f), 3.5f);
        g.setGradientFill ({ Style::ink.darker (0.5f), slot.getTopLeft(), Style::ink, slot.getTopRight(), false });
        g.fillRoundedRectangle (slot, 3.5f);

        for (int i = 0; i <= 10; ++i)
        {
            const auto y = capCentreY ((float) i / 10.0f);
            const bool major = i % 5 == 0;
            const auto len = major ? 8.0f : 5.0f;
            g.setColour (Style::ink.withAlpha (major ? 0.85f : 0.55f));
            g.drawLine (cx - 8.0f - len, y, cx - 8.0f, y, major ? 1.0f : 0.7f);
            g.drawLine (cx + 8.0f, y, cx + 8.0f + len, y, major ? 1.0f : 0.7f);
        }
        const auto numbers = Style::font (Style::Weight::medium, 6.5f);
        Style::centredText (g, "10", { cx - 22.0f, capCentreY (1.0f) }, numbers, Style::ink.withAlpha (0.8f));
        Style::centredText (g, "0", { cx - 22.0f, capCentreY (0.0f) }, numbers, Style::ink.withAlpha (0.8f));
    }

    void bottomKnobScale (Graphics& g, Point<float> c)
    {
        const float range = MathConstants<float>::pi * 0.75f;
        Path track;
        track.addCentredArc (c.x, c.y, 31.0f, 31.0f, 0.0f, -range, range, true);
        g.setColour (Colours::white.withAlpha (0.55f));
        g.strokePath (track, PathStrokeType (2.2f), AffineTransform::translation (0.0f, 0.7f));
        g.setColour (Style::ink.withAlpha (0.35f));
        g.strokePath (track, PathStrokeType (2.2f));

        for (auto a : { -range, 0.0f, range })
        {
            g.setColour (Style::ink.withAlpha (0.8f));
            g.drawLine (Line<float>::fromStartAndAngle (c, 34.5f, a).withShortenedStart (28.0f), 1.0f);
        }
        Style::roundShadow (g, c.translated (0.0f, 0.8f), 21.0f, 5.0f, 0.4f);
    }
}

void VinolaPanelArt::paintBackground (Graphics& g, Image& image, float w, float h)
{
    g.setGradientFill ({ Style::panelTop, 0.0f, 0.0f, Style::panelBottom, 0.0f, h, false });
    g.fillAll();

    // Grain before any engraving, so the printed parts stay crisp.
    Style::addGrain (image, image.getBounds(), 0.05f, 7);

    // Soft light fall-off towards the edges of the case.
    ColourGradient vignette (Colours::transparentBlack, w * 0.5f, h * 0.45f, Colours::black.withAlpha (0.10f), 0.0f, 0.0f, true);
    g.setGradientFill (vignette);
    g.fillAll();

    // Case edge.
    g.setColour (Style::ink.withAlpha (0.7f));
    g.drawRect (Rectangle<float> (0.0f, 0.0f, w, h), 1.0f);
    g.setColour (Colours::white.withAlpha (0.5f));
    g.drawRect (Rectangle<float> (1.0f, 1.0f, w - 2.0f, h - 2.0f), 0.6f);

    // Section grooves between the knob rows and the faders.
    Style::engravedLine (g, { 14.0f, 100.5f, 352.0f, 100.5f });
    Style::engravedLine (g, { 14.0f, 241.5f, 352.0f, 241.5f });

    for (auto x : columnX)
    {
        sliderSlot (g, x);
        bottomKnobScale (g, { x, bottomKnobY });
    }

    // Recess for the cable-quality drum, with pointers to its reading line.
    const auto bezel = cableBounds.expanded (3.0f);
    g.setColour (Colours::white.withAlpha (0.55f));
    g.drawRoundedRectangle (bezel.translated (0.6f, 0.6f), 4.0f, 1.0f);
    g.setColour (Style::ink.withAlpha (0.45f));
    g.drawRoundedRectangle (bezel, 4.0f, 1.0f);

    // Label over the mains-frequency switch.
    Style::centredText (g, "MAINS", { humButtons.getCentreX(), humButtons.getY() - 7.0f },
                        Style::font (Style::Weight::medium, 7.0f, 0.25f), Style::ink.withAlpha (0.85f));

    // The maker's plate in the deck's free top-left corner.
    g.setColour (Style::ink);
    g.setFont (Style::font (Style::Weight::semiBold, 17.0f, 0.28f));
    g.drawText ("VINOLA", Rectangle<float> (384.0f, 10.0f, 120.0f, 20.0f), Justification::centredLeft, false);
    g.setColour (Style::copperDark);
    g.setFont (Style::font (Style::Weight::medium, 6.2f, 0.3f));
    g.drawText (String::fromUTF8 ("VINYL  \xc2\xb7  AMP  \xc2\xb7  CABLE"), Rectangle<float> (385.0f, 30.0f, 120.0f, 8.0f), Justification::centredLeft, false);
    g.setColour (Style::copper);
    g.fillRect (Rectangle<float> (385.0f, 41.0f, 62.0f, 1.2f));

    Style::screw (g, { 12.0f, 338.0f }, 4.0f, 0.6f);
    Style::screw (g, { 356.0f, 12.0f }, 4.0f, 2.1f);
    Style::screw (g, { 356.0f, 338.0f }, 4.0f, 1.2f);
    Style::screw (g, { 736.0f, 12.0f }, 4.0f, 0.2f);
}

void VinolaPanelArt::paintSliderTrack (Graphics& g, float w, float h)
{
    g.setGradientFill ({ Colour (0xff0c0c0c), 0.0f, 0.0f, Colour (0xff3a3a3a), w, 0.0f, false });
    g.fillRect (Rectangle<float> (0.0f, 0.0f, w, h));
}

void VinolaPanelArt::paintSliderHandle (Graphics& g, float w, float)
{
    const auto cap = Rectangle<float> (30.0f, 15.0f).withCentre ({ w * 0.5f, handleCapCentreY });

    // Shadow falls on the panel below the cap.
    for (int i = 4; i > 0; --i)
    {
        g.setColour (Colours::black.withAlpha (0.07f));
        g.fillRoundedRectangle (cap.translated (0.0f, 1.5f).expanded ((float) i), 2.5f + (float) i);
    }

    g.setGradientFill ({ Style::slate.brighter (0.35f), cap.getTopLeft(), Style::slateDark, cap.getBottomLeft(), false });
    g.fillRoundedRectangle (cap, 2.5f);

    // Grip ridges across the top face.
    for (int i = -2; i <= 2; ++i)
    {
        if (i == 0)
            continue;
        const auto y = cap.getCentreY() + (float) i * 2.6f;
        g.setColour (Colours::black.withAlpha (0.45f));
        g.drawLine (cap.getX() + 3.0f, y + 0.4f, cap.getRight() - 3.0f, y + 0.4f, 0.7f);
        g.setColour (Colours::white.withAlpha (0.18f));
        g.drawLine (cap.getX() + 3.0f, y - 0.3f, cap.getRight() - 3.0f, y - 0.3f, 0.5f);
    }

    // Index line, the reading mark against the scale.
    g.setColour (Style::cream);
    g.fillRect (Rectangle<float> (cap.getX() + 1.5f, cap.getCentreY() - 0.6f, cap.getWidth() - 3.0f, 1.2f));
    g.setColour (Colours::white.withAlpha (0.35f));
    g.drawRoundedRectangle (cap.reduced (0.3f), 2.3f, 0.5f);
    g.setColour (Colours::black.withAlpha (0.6f));
    g.drawRoundedRectangle (cap, 2.5f, 0.6f);
}

void VinolaPanelArt::paintCableBacking (Graphics& g, float w, float h)
{
    // A paper drum: bright in the middle, darker where it curves away.
    ColourGradient drum (Colour (0xffb9b2a0), 0.0f, 0.0f, Colour (0xffb9b2a0), 0.0f, h, false);
    drum.addColour (0.5, Colour (0xfffbf8ee));
    drum.addColour (0.3, Colour (0xffe9e3d3));
    drum.addColour (0.7, Colour (0xffe9e3d3));
    g.setGradientFill (drum);
    g.fillRect (Rectangle<float> (0.0f, 0.0f, w, h));
}

void VinolaPanelArt::paintCableNumbers (Graphics& g, float w, float h)
{
    const auto f = Style::font (Style::Weight::semiBold, 7.2f);
    for (int n = 0; n <= 10; ++n)
    {
        const auto y = (0.96f - 0.092f * (float) n) * h;
        Style::centredText (g, String (n), { w * 0.5f, y }, f, n == 10 ? Style::copperDark : Style::ink);
        g.setColour (Style::ink.withAlpha (0.3f));
        if (n < 10)
            g.drawLine (w * 0.3f, y - 0.046f * h, w * 0.7f, y - 0.046f * h, 0.4f);
    }
}

void VinolaPanelArt::paintCableWindow (Graphics& g, float w, float h)
{
    const auto opening = Rectangle<float> (6.5f, h * 0.5f - 10.0f, 16.5f, 20.0f);

    Path frame;
    frame.addRoundedRectangle (Rectangle<float> (0.0f, 0.0f, w, h), 3.0f);
    frame.addRoundedRectangle (opening, 1.5f);
    frame.setUsingNonZeroWinding (false);
    g.setGradientFill ({ Style::slate.brighter (0.3f), 0.0f, 0.0f, Style::slateDark, w, h, false });
    g.fillPath (frame);
    g.setColour (Colours::black.withAlpha (0.7f));
    g.drawRoundedRectangle (Rectangle<float> (0.0f, 0.0f, w, h).reduced (0.3f), 3.0f, 0.6f);
    g.setColour (Colours::white.withAlpha (0.25f));
    g.drawRoundedRectangle (Rectangle<float> (0.0f, 0.0f, w, h).reduced (1.0f), 2.5f, 0.5f);

    // Curvature shade and glass glint inside the opening.
    ColourGradient shade (Colours::black.withAlpha (0.55f), 0.0f, opening.getY(), Colours::black.withAlpha (0.55f), 0.0f, opening.getBottom(), false);
    shade.addColour (0.35, Colours::transparentBlack);
    shade.addColour (0.65, Colours::transparentBlack);
    g.setGradientFill (shade);
    g.fillRect (opening);
    g.setColour (Colours::white.withAlpha (0.18f));
    g.fillRect (Rectangle<float> (opening.getX(), opening.getY() + 1.0f, opening.getWidth(), 2.0f));
    g.setColour (Colours::black.withAlpha (0.8f));
    g.drawRoundedRectangle (opening, 1.5f, 0.7f);

    // Copper pointers at the reading line.
    for (auto side : { 0, 1 })
    {
        Path p;
        const auto y = h * 0.5f;
        if (side == 0)
            p.addTriangle (1.5f, y - 2.2f, 1.5f, y + 2.2f, 5.2f, y);
        else
            p.addTriangle (w - 1.5f, y - 2.2f, w - 1.5f, y + 2.2f, w - 5.2f, y);
        g.setColour (Style::copper);
        g.fillPath (p);
    }

    // Two rivets hold the window.
    for (auto y : { 5.0f, h - 5.0f })
    {
        const auto r = Rectangle<float> (3.2f, 3.2f).withCentre ({ w * 0.5f, y });
        g.setGradientFill ({ Style::chromeLight, r.getTopLeft(), Style::chromeDark, r.getBottomRight(), false });
        g.fillEllipse (r);
    }
}

void VinolaPanelArt::paintHumButton (Graphics& g, float w, float h, const String& text, bool on)
{
    const auto body = Rectangle<float> (0.0f, 0.0f, w, h).reduced (0.5f);
    const auto face = on ? Style::slateDark : Style::slate;
    g.setGradientFill ({ face.brighter (on ? 0.05f : 0.3f), 0.0f, 0.0f, face.darker (on ? 0.1f : 0.3f), 0.0f, h, false });
    g.fillRoundedRectangle (body, 3.0f);
    if (on)
    {
        // Pressed in: the top edge shadowed.
        g.setGradientFill ({ Colours::black.withAlpha (0.5f), 0.0f, 0.0f, Colours::transparentBlack, 0.0f, 4.0f, false });
        g.fillRoundedRectangle (body, 3.0f);
    }
    else
    {
        g.setColour (Colours::white.withAlpha (0.22f));
        g.drawLine (body.getX() + 3.0f, 1.3f, body.getRight() - 3.0f, 1.3f, 0.6f);
    }
    g.setColour (Colours::black.withAlpha (0.75f));
    g.drawRoundedRectangle (body, 3.0f, 0.8f);

    // Pilot lamp.
    const Point<float> lamp { 10.0f, h * 0.5f };
    if (on)
    {
        g.setGradientFill ({ Style::copper.withAlpha (0.6f), lamp, Style::copper.withAlpha (0.0f), lamp.translated (7.0f, 0.0f), true });
        g.fillEllipse (Rectangle<float> (14.0f, 14.0f).withCentre (lamp));
        g.setGradientFill ({ Colour (0xfffff0d0), lamp, Style::copper, lamp.translated (3.2f, 0.0f), true });
    }
    else
    {
        g.setGradientFill ({ Style::copperDark.darker (0.5f), lamp, Colour (0xff2a1812), lamp.translated (3.2f, 0.0f), true });
    }
    g.fillEllipse (Rectangle<float> (6.4f, 6.4f).withCentre (lamp));
    g.setColour (Colours::black.withAlpha (0.6f));
    g.drawEllipse (Rectangle<float> (6.4f, 6.4f).withCentre (lamp), 0.6f);

    g.setFont (Style::font (on ? Style::Weight::semiBold : Style::Weight::medium, 8.5f, 0.08f));
    g.setColour (on ? Colours::white : Style::cream.withAlpha (0.8f));
    g.drawText (text, Rectangle<float> (18.0f, 0.0f, w - 24.0f, h), Justification::centred, false);
}

void VinolaPanelArt::paintZoomButton (Graphics& g, float w, float h, bool pressed)
{
    const auto disc = Rectangle<float> (0.0f, 0.0f, w, h).reduced (0.5f);
    g.setColour (pressed ? Style::copper : Style::slate);
    g.fillEllipse (disc);
    g.setColour (Colours::black.withAlpha (0.5f));
    g.drawEllipse (disc, 0.5f);

    const auto glass = Rectangle<float> (6.6f, 6.6f).withCentre ({ w * 0.44f, h * 0.44f });
    g.setColour (pressed ? Colours::white : Style::cream);
    g.drawEllipse (glass, 1.3f);
    g.drawLine (glass.getCentreX() + 2.5f, glass.getCentreY() + 2.5f, w * 0.76f, h * 0.76f, 1.7f);
    g.drawLine (glass.getCentreX() - 1.6f, glass.getCentreY(), glass.getCentreX() + 1.6f, glass.getCentreY(), 0.9f);
    g.drawLine (glass.getCentreX(), glass.getCentreY() - 1.6f, glass.getCentreX(), glass.getCentreY() + 1.6f, 0.9f);
}

void VinolaPanelArt::paintDarkPlate (Graphics& g, float w, float h)
{
    // Corners are cut from the four quarters and the edges from the middle rows and columns,
    // so the border must be uniform along each side.
    const auto r = Rectangle<float> (0.0f, 0.0f, w, h);
    g.setColour (Colours::black.withAlpha (0.35f));
    g.fillRoundedRectangle (r, 5.0f);
    g.setColour (Colour (0xff263035));
    g.fillRoundedRectangle (r.reduced (0.5f), 4.5f);
    g.setColour (Colour (0xff5b6a71));
    g.drawRoundedRectangle (r.reduced (1.2f), 4.0f, 0.6f);
}
