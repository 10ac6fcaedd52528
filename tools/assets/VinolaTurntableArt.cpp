#include "VinolaTurntableArt.h"
#include "VinolaArtStyle.h"

using Style = VinolaArtStyle;
using namespace juce;

namespace
{
    const Point<float> armPivot { 342.0f, 68.0f };
    const Point<float> stylus { 272.0f, 226.0f };

    void strobeRim (Graphics& g, Point<float> c, float radius)
    {
        const int dots = 120;
        for (int i = 0; i < dots; ++i)
        {
            const auto a = MathConstants<float>::twoPi * (float) i / (float) dots;
            const auto p = c.getPointOnCircumference (radius, a);
            g.setColour (Style::ink.withAlpha (0.55f));
            g.fillRect (Rectangle<float> (1.6f, 1.6f).withCentre (p));
        }
    }

    void grooves (Graphics& g, Point<float> c, float inner, float outer)
    {
        // Concentric grooves with a slowly varying sheen, and darker gaps between the tracks.
        juce::uint32 state = 0x1234567u;
        for (float r = inner; r < outer; r += 0.5f)
        {
            state = state * 1664525u + 1013904223u;
            const auto jitter = (float) ((state >> 8) & 0xff) / 255.0f;
            g.setColour (Colours::white.withAlpha (0.02f + 0.05f * jitter));
            g.drawEllipse (Rectangle<float> (2.0f * r, 2.0f * r).withCentre (c), 0.25f);
        }
        for (auto r : { 74.0f, 91.0f, 106.0f, 121.0f })
        {
            g.setColour (Colours::black.withAlpha (0.7f));
            g.drawEllipse (Rectangle<float> (2.0f * r, 2.0f * r).withCentre (c), 1.6f);
            g.setColour (Colours::white.withAlpha (0.06f));
            g.drawEllipse (Rectangle<float> (2.0f * r + 2.4f, 2.0f * r + 2.4f).withCentre (c), 0.5f);
        }
    }

    void sheen (Graphics& g, Point<float> c, float inner, float outer)
    {
        // Light catching the grooves in two opposite wedges.
        for (auto centreAngle : { 0.75f, 0.75f + MathConstants<float>::pi })
        {
            for (int layer = 0; layer < 4; ++layer)
            {
                const auto half = 0.32f - 0.07f * (float) layer;
                Path wedge;
                wedge.addPieSegment (Rectangle<float> (2.0f * outer, 2.0f * outer).withCentre (c),
                                     centreAngle - half, centreAngle + half, inner / outer);
                g.setColour (Colours::white.withAlpha (0.028f));
                g.fillPath (wedge);
            }
        }
    }

    Path armTube()
    {
        Path p;
        const auto dir = (stylus - armPivot) / stylus.getDistanceFrom (armPivot);
        const auto bend = armPivot + dir * 120.0f + Point<float> (dir.y, -dir.x) * 10.0f;
        p.startNewSubPath (armPivot - dir * 8.0f);
        p.quadraticTo (bend, stylus - dir * 16.0f);
        return p;
    }

    void drawArm (Graphics& g)
    {
        const auto dir = (stylus - armPivot) / stylus.getDistanceFrom (armPivot);
        const Point<float> across { -dir.y, dir.x };
        const auto tube = armTube();

        // Shadow on the deck and record.
        g.setColour (Colours::black.withAlpha (0.28f));
        g.strokePath (tube, PathStrokeType (7.0f, PathStrokeType::curved, PathStrokeType::rounded), AffineTransform::translation (5.0f, 7.0f));

        // Counterweight behind the pivot: a ribbed chrome cylinder seen from above.
        const auto back = armPivot - dir * 31.0f;
        const auto weightTransform = AffineTransform::rotation (std::atan2 (dir.y, dir.x) + MathConstants<float>::halfPi).translated (back);
        Path weight;
        weight.addRoundedRectangle (-9.0f, -12.0f, 18.0f, 24.0f, 2.5f);
        g.setColour (Colours::black.withAlpha (0.28f));
        g.fillPath (weight, weightTransform.translated (4.0f, 6.0f));
        ColourGradient cylinder (Style::chromeDark.darker (0.3f), back - across * 9.0f, Style::chromeDark.darker (0.3f), back + across * 9.0f, false);
        cylinder.addColour (0.35, Style::chromeLight);
        cylinder.addColour (0.55, Style::chromeDark.brighter (0.5f));
        g.setGradientFill (cylinder);
        g.fillPath (weight, weightTransform);
        for (int i = -3; i <= 3; ++i)
        {
            Path rib;
            rib.startNewSubPath (-9.0f, (float) i * 3.2f);
            rib.lineTo (9.0f, (float) i * 3.2f);
            g.setColour (Colours::black.withAlpha (0.22f));
            g.strokePath (rib, PathStrokeType (0.5f), weightTransform);
        }
        g.setColour (Style::ink.withAlpha (0.6f));
        g.strokePath (weight, PathStrokeType (0.6f), weightTransform);

        // Pivot: a slate turret with a chrome rim, and the bearing housing on top.
        Style::roundShadow (g, armPivot.translated (3.0f, 4.0f), 20.0f, 6.0f, 0.35f);
        const auto base = Rectangle<float> (40.0f, 40.0f).withCentre (armPivot);
        Style::chromeDisc (g, base, 0.6f, 0.8f);
        const auto turret = base.reduced (3.0f);
        g.setGradientFill ({ Style::slate.brighter (0.2f), turret.getTopLeft(), Style::slateDark, turret.getBottomRight(), false });
        g.fillEllipse (turret);
        Style::roundShadow (g, armPivot.translated (1.5f, 2.0f), 9.0f, 3.0f, 0.4f);
        const auto bearing = Rectangle<float> (18.0f, 18.0f).withCentre (armPivot);
        g.setGradientFill ({ Colours::white, bearing.getTopLeft().translated (4.0f, 4.0f), Style::chromeDark, bearing.getBottomRight(), true });
        g.fillEllipse (bearing);
        g.setColour (Style::ink.withAlpha (0.5f));
        g.drawEllipse (bearing, 0.6f);

        // The tube: chrome, lit along one side.
        g.setColour (Style::chromeDark.darker (0.5f));
        g.strokePath (tube, PathStrokeType (5.6f, PathStrokeType::curved, PathStrokeType::rounded));
        g.setColour (Style::chromeDark.brighter (0.4f));
        g.strokePath (tube, PathStrokeType (4.2f, PathStrokeType::curved, PathStrokeType::rounded));
        g.setColour (Style::chromeLight);
        g.strokePath (tube, PathStrokeType (1.6f, PathStrokeType::curved, PathStrokeType::rounded), AffineTransform::translation (across * -0.9f));

        // Headshell with its finger lift and the cartridge.
        Path shell;
        shell.addRoundedRectangle (-6.0f, -13.0f, 12.0f, 26.0f, 2.0f);
        const auto shellCentre = stylus - dir * 6.0f;
        const auto shellTransform = AffineTransform::rotation (std::atan2 (dir.y, dir.x) - MathConstants<float>::halfPi + 0.35f).translated (shellCentre);
        g.setColour (Colours::black.withAlpha (0.3f));
        g.fillPath (shell, shellTransform.translated (4.0f, 6.0f));
        g.setColour (Style::slateDark);
        g.fillPath (shell, shellTransform);
        g.setColour (Style::chromeDark.brighter (0.6f));
        g.strokePath (shell, PathStrokeType (0.8f), shellTransform);
        Path cartridge;
        cartridge.addRoundedRectangle (-4.0f, -2.0f, 8.0f, 11.0f, 1.2f);
        g.setColour (Style::copperDark);
        g.fillPath (cartridge, shellTransform);
        Path lift;
        lift.startNewSubPath (6.0f, -10.0f);
        lift.quadraticTo (13.0f, -12.0f, 15.0f, -18.0f);
        g.setColour (Style::chromeLight);
        g.strokePath (lift, PathStrokeType (1.4f, PathStrokeType::curved, PathStrokeType::rounded), shellTransform);
    }
}

Point<float> VinolaTurntableArt::leverCentre (float v)
{
    // The lever's handle box is 58 x 56 at (29 v + 15 + 2 sin (pi v), 48 - 40 v).
    return { 29.0f * v + 15.0f + 2.0f * std::sin (MathConstants<float>::pi * v) + 29.0f, 48.0f - 40.0f * v + 28.0f };
}

void VinolaTurntableArt::paintRecordAndArm (Graphics& g, float, float)
{
    const Point<float> c { recordCentreX, recordCentreY };

    Style::roundShadow (g, c.translated (3.0f, 5.0f), platterRadius, 10.0f, 0.4f);

    // Platter with a strobe rim.
    const auto platter = Rectangle<float> (2.0f * platterRadius, 2.0f * platterRadius).withCentre (c);
    g.setGradientFill ({ Style::chromeLight, platter.getTopLeft(), Style::chromeDark, platter.getBottomRight(), false });
    g.fillEllipse (platter);
    strobeRim (g, c, platterRadius - 2.5f);
    g.setColour (Style::ink.withAlpha (0.7f));
    g.drawEllipse (platter, 0.8f);

    // The record.
    const auto record = Rectangle<float> (2.0f * recordRadius, 2.0f * recordRadius).withCentre (c);
    g.setColour (Style::vinyl);
    g.fillEllipse (record);
    grooves (g, c, labelRadius + 4.0f, recordRadius - 3.0f);
    sheen (g, c, labelRadius + 2.0f, recordRadius - 1.0f);
    g.setColour (Colours::white.withAlpha (0.12f));
    g.drawEllipse (record.reduced (1.0f), 0.8f);

    // Under the turning label: a plain copper disc, so the picture reads even without it.
    g.setColour (Style::copperDark);
    g.fillEllipse (Rectangle<float> (2.0f * labelRadius, 2.0f * labelRadius).withCentre (c));

    drawArm (g);
}

void VinolaTurntableArt::paintRecordLabel (Graphics& g, float w, float h)
{
    const Point<float> c { w * 0.5f, h * 0.5f };
    const auto outer = Rectangle<float> (w, h);

    // Copper outer band and a cream printing field.
    g.setGradientFill ({ Style::copper, c, Style::copperDark, c.translated (w * 0.5f, 0.0f), true });
    g.fillEllipse (outer);
    const auto field = outer.reduced (w * 0.065f);
    g.setGradientFill ({ Style::cream, c, Style::cream.darker (0.06f), c.translated (field.getWidth() * 0.5f, 0.0f), true });
    g.fillEllipse (field);
    g.setColour (Style::copperDark.withAlpha (0.8f));
    g.drawEllipse (field, 0.7f);
    g.drawEllipse (field.reduced (2.2f), 0.35f);

    // Band lettering and the product's name; the middle right stays clear for the version.
    Style::centredText (g, "VINOLA", c.translated (0.0f, -25.0f), Style::font (Style::Weight::semiBold, 11.0f, 0.22f), Style::slateDark);
    Style::centredText (g, "WORN  RECORD  SERIES", c.translated (0.0f, -15.5f), Style::font (Style::Weight::medium, 4.2f, 0.2f), Style::copperDark);
    Style::centredText (g, "SIDE A", c.translated (-32.0f, 0.0f), Style::font (Style::Weight::medium, 5.0f, 0.15f), Style::slateDark);
    Style::centredText (g, String::fromUTF8 ("33\xe2\x85\x93 RPM"), c.translated (0.0f, 22.0f), Style::font (Style::Weight::medium, 5.5f, 0.12f), Style::slateDark);
    Style::centredText (g, String::fromUTF8 ("STEREO  \xc2\xb7  HI-FI"), c.translated (0.0f, 30.0f), Style::font (Style::Weight::light, 4.5f, 0.2f), Style::copperDark);
    g.setColour (Style::copperDark.withAlpha (0.6f));
    g.drawLine (c.x - 16.0f, c.y + 17.0f, c.x + 16.0f, c.y + 17.0f, 0.4f);
}

void VinolaTurntableArt::paintCentrePeg (Graphics& g, float w, float h)
{
    const Point<float> c { w * 0.5f, h * 0.5f };
    Style::roundShadow (g, c.translated (0.8f, 1.2f), 8.0f, 4.0f, 0.4f);
    Style::chromeDisc (g, Rectangle<float> (17.0f, 17.0f).withCentre (c), 0.5f, 0.5f);
    const auto pin = Rectangle<float> (7.0f, 7.0f).withCentre (c);
    g.setGradientFill ({ Colours::white, pin.getTopLeft(), Style::chromeDark.darker (0.3f), pin.getBottomRight(), false });
    g.fillEllipse (pin);
    g.setColour (Colours::white.withAlpha (0.9f));
    g.fillEllipse (Rectangle<float> (2.0f, 2.0f).withCentre (c.translated (-1.2f, -1.2f)));
}

void VinolaTurntableArt::paintGeneratorTrack (Graphics& g, float, float)
{
    // The lever's component is 92 wide; keep the plate inside it.
    const auto plate = Rectangle<float> (3.0f, 5.0f, 86.0f, 96.0f);
    g.setColour (Colours::black.withAlpha (0.25f));
    g.fillRoundedRectangle (plate.translated (1.0f, 1.5f), 6.0f);
    g.setGradientFill ({ Style::slate.brighter (0.15f), plate.getTopLeft(), Style::slateDark, plate.getBottomRight(), false });
    g.fillRoundedRectangle (plate, 6.0f);
    g.setColour (Colours::white.withAlpha (0.2f));
    g.drawRoundedRectangle (plate.reduced (0.8f), 5.5f, 0.6f);
    g.setColour (Colours::black.withAlpha (0.6f));
    g.drawRoundedRectangle (plate, 6.0f, 0.8f);

    // The slot along the handle's path.
    Path slot;
    slot.startNewSubPath (leverCentre (0.0f));
    for (int i = 1; i <= 20; ++i)
        slot.lineTo (leverCentre ((float) i / 20.0f));
    g.setColour (Colours::white.withAlpha (0.15f));
    g.strokePath (slot, PathStrokeType (9.5f, PathStrokeType::curved, PathStrokeType::rounded), AffineTransform::translation (0.5f, 0.8f));
    g.setColour (Colour (0xff0d1113));
    g.strokePath (slot, PathStrokeType (9.0f, PathStrokeType::curved, PathStrokeType::rounded));

    // Detent marks on the far side of each stop, and the mode icons on the near side.
    const auto iconColour = Style::cream.withAlpha (0.9f);
    for (int stop = 0; stop < 3; ++stop)
    {
        const auto v = (float) stop * 0.5f;
        const auto p = leverCentre (v);
        const auto tangent = leverCentre (std::min (1.0f, v + 0.01f)) - leverCentre (std::max (0.0f, v - 0.01f));
        const auto unit = tangent / tangent.getDistanceFromOrigin();
        const Point<float> normal { unit.y, -unit.x };   // points up and to the left

        g.setColour (Style::copper);
        g.drawLine ({ p - normal * 7.5f, p - normal * 11.5f }, 1.4f);

        const auto icon = p + normal * 24.0f;
        g.setColour (iconColour);
        if (stop == 0)
        {
            // Off: a circle struck through.
            const auto r = Rectangle<float> (11.0f, 11.0f).withCentre (icon);
            g.drawEllipse (r, 1.3f);
            g.drawLine ({ icon.translated (-3.9f, 3.9f), icon.translated (3.9f, -3.9f) }, 1.3f);
        }
        else if (stop == 1)
        {
            // Follow the host: the transport's play sign.
            Path play;
            play.addTriangle (icon.x - 3.5f, icon.y - 5.0f, icon.x - 3.5f, icon.y + 5.0f, icon.x + 5.0f, icon.y);
            g.fillPath (play);
        }
        else
        {
            // On: the power sign, lit.
            g.setColour (Style::copper);
            Path ring;
            ring.addCentredArc (icon.x, icon.y, 5.0f, 5.0f, 0.0f, 0.65f, MathConstants<float>::twoPi - 0.65f, true);
            g.strokePath (ring, PathStrokeType (1.4f, PathStrokeType::curved, PathStrokeType::rounded));
            g.drawLine (icon.x, icon.y - 6.5f, icon.x, icon.y - 0.5f, 1.4f);
        }
    }
}

void VinolaTurntableArt::paintGeneratorHandle (Graphics& g, float w, float h)
{
    const Point<float> c { w * 0.5f, h * 0.5f };
    Style::roundShadow (g, c.translated (1.5f, 2.5f), 12.0f, 5.0f, 0.45f);
    const auto knob = Rectangle<float> (25.0f, 25.0f).withCentre (c);
    Style::chromeDisc (g, knob, 0.7f, 0.7f);
    const auto top = knob.reduced (4.0f);
    g.setGradientFill ({ Style::cream, top.getTopLeft(), Style::cream.darker (0.25f), top.getBottomRight(), false });
    g.fillEllipse (top);
    // A grip bar across the top, so the tilt shows.
    g.setColour (Style::slateDark);
    g.fillRoundedRectangle (Rectangle<float> (3.0f, 11.0f).withCentre (c), 1.5f);
    g.setColour (Style::copper);
    g.fillEllipse (Rectangle<float> (2.4f, 2.4f).withCentre (c.translated (0.0f, -7.5f)));
}
