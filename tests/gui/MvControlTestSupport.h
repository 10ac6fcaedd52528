#pragma once

// Helpers shared by the component library's tests (Mv*Tests.cpp): synthetic mouse events, a
// delegate that records what it is told, a repaint counter and rendering into juce::Image.

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "MvParameterComponent.h"
#include "MvParameterDelegate.h"

#include <string>
#include <vector>

namespace mvtest
{
    /** A mouse event for the component at (x, y) in its own coordinates, with the mouse-down
        position (downX, downY). */
    inline juce::MouseEvent mouseAt (juce::Component& c, float x, float y,
                                     juce::ModifierKeys mods = {},
                                     float downX = -1.0f, float downY = -1.0f,
                                     int clicks = 1)
    {
        if (downX < 0.0f) downX = x;
        if (downY < 0.0f) downY = y;
        const auto now = juce::Time::getCurrentTime();

        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                 { x, y }, mods,
                                 juce::MouseInputSource::defaultPressure,
                                 juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation,
                                 juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY,
                                 &c, &c, now, { downX, downY }, now, clicks, false);
    }

    inline juce::ModifierKeys alt()
    {
        return juce::ModifierKeys (juce::ModifierKeys::altModifier | juce::ModifierKeys::leftButtonModifier);
    }

    inline juce::ModifierKeys leftButton()
    {
        return juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier);
    }

    inline juce::MouseWheelDetails wheel (float deltaY, float deltaX = 0.0f)
    {
        juce::MouseWheelDetails w;
        w.deltaX = deltaX;
        w.deltaY = deltaY;
        w.isReversed = false;
        w.isSmooth = false;
        w.isInertial = false;
        return w;
    }

    /** A press at (downX, downY) and a release at (x, y), with the left button. */
    inline void clickAt (juce::Component& c, float x, float y, float downX = -1.0f, float downY = -1.0f)
    {
        if (downX < 0.0f) downX = x;
        if (downY < 0.0f) downY = y;
        c.mouseDown (mouseAt (c, downX, downY, leftButton()));
        c.mouseUp (mouseAt (c, x, y, leftButton(), downX, downY));
    }

    /** Presses at start, drags through every point, releases at the last one. */
    inline void dragThrough (juce::Component& c, juce::Point<float> start, const std::vector<juce::Point<float>>& points,
                             juce::ModifierKeys mods)
    {
        c.mouseDown (mouseAt (c, start.x, start.y, mods));
        auto last = start;

        for (auto p : points)
        {
            c.mouseDrag (mouseAt (c, p.x, p.y, mods, start.x, start.y));
            last = p;
        }

        c.mouseUp (mouseAt (c, last.x, last.y, mods, start.x, start.y));
    }

    /** Presses at (x, y0), drags through every y in ys, releases at the last one. */
    inline void dragVertically (juce::Component& c, float x, float y0, std::initializer_list<float> ys,
                                juce::ModifierKeys mods = leftButton())
    {
        std::vector<juce::Point<float>> points;
        for (auto y : ys)
            points.push_back ({ x, y });
        dragThrough (c, { x, y0 }, points, mods);
    }

    /** Records every notification as a line of text, in order. */
    struct RecordingDelegate : public MvParameterDelegate
    {
        void parameterValueChanged (MvParameterComponent*, int index, float v) override
        {
            calls.push_back ("changed " + std::to_string (index));
            values.push_back (v);
        }
        void parameterMouseEntered (MvParameterComponent*, int index) override { calls.push_back ("entered " + std::to_string (index)); }
        void parameterMouseExited (MvParameterComponent*, int index) override { calls.push_back ("exited " + std::to_string (index)); }
        void parameterDragStarted (MvParameterComponent*, int index) override { calls.push_back ("started " + std::to_string (index)); }
        void parameterDragEnded (MvParameterComponent*, int index) override { calls.push_back ("ended " + std::to_string (index)); }
        juce::String getParameterValueText (int index) override { return "value " + juce::String (index); }
        float getParameterDefaultValue (int) override { return defaultValue; }
        float getParameterValue (int) override { ++valueReads; return parameterValue; }

        std::vector<std::string> calls;
        std::vector<float> values;
        float parameterValue = 0.0f;
        float defaultValue = 0.25f;
        int valueReads = 0;
    };

    /** Installed as a component's cached image, it counts the component's repaints (JUCE hands
        every repaint of a visible component to its cached image first). While installed, the
        component is not painted through its paint(). */
    struct RepaintCounter : public juce::CachedComponentImage
    {
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { ++count; return false; }
        bool invalidate (const juce::Rectangle<int>&) override { ++count; return false; }
        void releaseResources() override {}

        int count = 0;
    };

    inline RepaintCounter* countRepaints (juce::Component& c)
    {
        auto* counter = new RepaintCounter();
        c.setVisible (true);
        c.setCachedComponentImage (counter); // the component owns it
        counter->count = 0;                  // installing it invalidates it once
        return counter;
    }

    /** The component painted (with its children) into a cleared ARGB image of its size. */
    inline juce::Image render (juce::Component& c, juce::Colour background = juce::Colours::transparentBlack)
    {
        juce::Image image (juce::Image::ARGB, juce::jmax (1, c.getWidth()), juce::jmax (1, c.getHeight()), true,
                           juce::SoftwareImageType());
        juce::Graphics g (image);
        g.fillAll (background);
        c.paintEntireComponent (g, true);
        return image;
    }

    /** A solid image of one colour. */
    inline juce::Image solid (int w, int h, juce::Colour colour)
    {
        juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
        juce::Graphics g (image);
        g.fillAll (colour);
        return image;
    }

    inline bool near (juce::Colour a, juce::Colour b, int tolerance = 3)
    {
        return std::abs ((int) a.getAlpha() - (int) b.getAlpha()) <= tolerance
            && std::abs ((int) a.getRed() - (int) b.getRed()) <= tolerance
            && std::abs ((int) a.getGreen() - (int) b.getGreen()) <= tolerance
            && std::abs ((int) a.getBlue() - (int) b.getBlue()) <= tolerance;
    }

    /** How many pixels of the area have exactly (within tolerance) the colour. */
    inline int countPixels (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 3)
    {
        int n = 0;
        area = area.getIntersection (image.getBounds());

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (near (image.getPixelAt (x, y), colour, tolerance))
                    ++n;

        return n;
    }

    /** How many pixels of the area differ from the colour by more than the tolerance. */
    inline int countPixelsNot (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 3)
    {
        area = area.getIntersection (image.getBounds());
        return area.getWidth() * area.getHeight() - countPixels (image, area, colour, tolerance);
    }
}
