#pragma once

// Shared by the editor widget tests: pictures from the built asset archive, and renders written
// to <build>/widget-renders/<name>.png (and 4x enlarged as <name>-x4.png) for a person to see.

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "MvAssetArchive.h"

namespace widgettest
{
    inline juce::Image archiveImage (const char* name)
    {
        static const MvAssetArchive archive = [] { MvAssetArchive a; juce::String e; a.readFrom (juce::File (VINOLA_ASSET_ARCHIVE), e); return a; }();
        for (int i = 0; i < archive.getNumEntries(); ++i)
            if (archive.getName (i) == name)
                return juce::ImageFileFormat::loadFrom (archive.getData (i).getData(), archive.getData (i).getSize());
        return {};
    }

    inline void writePng (const juce::Image& image, const juce::String& name)
    {
        juce::Image x4 (juce::Image::ARGB, image.getWidth() * 4, image.getHeight() * 4, true);
        juce::Graphics g (x4);
        g.fillAll (juce::Colour (0xff808080));
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImageTransformed (image, juce::AffineTransform::scale (4.0f));

        for (auto [picture, suffix] : { std::pair (image, ""), std::pair (x4, "-x4") })
        {
            const auto file = juce::File (VINOLA_BINARY_DIR).getChildFile ("widget-renders/" + name + suffix + ".png");
            file.getParentDirectory().createDirectory();
            file.deleteFile();
            juce::FileOutputStream out (file);
            EXPECT_TRUE (juce::PNGImageFormat().writeImageToStream (picture, out)) << name;
        }
    }

    /** The smallest box holding every pixel where the two images differ (b null: from clear). */
    inline juce::Rectangle<int> differenceBounds (const juce::Image& a, const juce::Image& b = {}, int tolerance = 8)
    {
        juce::Rectangle<int> box;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
            {
                const auto p = a.getPixelAt (x, y), q = b.isValid() ? b.getPixelAt (x, y) : juce::Colour();
                if (juce::jmax (std::abs (p.getAlpha() - q.getAlpha()), std::abs (p.getRed() - q.getRed()),
                                std::abs (p.getGreen() - q.getGreen()), std::abs (p.getBlue() - q.getBlue())) > tolerance)
                    box = box.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : box.getUnion ({ x, y, 1, 1 });
            }
        return box;
    }
}
