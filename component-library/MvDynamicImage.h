#pragma once

#include <juce_graphics/juce_graphics.h>
#include <memory>

class MvPixelFilter;

/** An off-screen ARGB image (software pixels, premultiplied as JUCE keeps them) with direct
    read-write access to its pixels, which are 32-bit ARGB words in memory order blue, green,
    red, alpha, addressed as x + width * y. MvBackground renders into one.

    A size of zero or less in either direction gives an image without pixels: the pixel
    operations then do nothing and getPixel returns 0. */
class MvDynamicImage
{
public:
    /** A cleared width x height image with a DefaultPixelFilter, colour white and a
        premultiplied colour of 0 (setColour computes it). */
    MvDynamicImage (int width, int height);
    virtual ~MvDynamicImage();

    /** Sets every pixel to 0. */
    virtual void clear();
    /** Subtracts colourAmount from blue, green and red and alphaAmount from alpha of every
        pixel, each channel clamped at 0. */
    virtual void subtract (int alphaAmount, int colourAmount);
    /** Deletes the previous filter and takes ownership of the new one. */
    virtual void setPixelFilter (MvPixelFilter* newFilter);
    /** Keeps the colour and its premultiplied form. */
    virtual void setColour (juce::uint32 argb);
    /** Clamps x and y into the image and hands the pixel and the value to the filter. */
    virtual void setPixel (int x, int y, juce::uint32 pixelValue);
    virtual juce::uint32 getPixel (int x, int y) const;
    /** setPixel with the premultiplied colour. */
    virtual void plot (int x, int y);

    juce::Image& getImage() noexcept { return image; }
    const juce::Image& getImage() const noexcept { return image; }
    int getWidth() const noexcept { return width; }
    int getHeight() const noexcept { return height; }
    juce::uint32 getColour() const noexcept { return colour; }
    juce::uint32 getPremultipliedColour() const noexcept { return premultipliedColour; }

    /** Re-opens the read-write pixel access over the image (after drawing into it). */
    void refreshBitmap();

private:
    juce::uint32* pixelAddress (int x, int y) const;

    std::unique_ptr<MvPixelFilter> pixelFilter;
    juce::uint32 colour = 0xFFFFFFFF;
    juce::uint32 premultipliedColour = 0;
    int width = 0, height = 0;
    juce::Image image;
    std::unique_ptr<juce::Image::BitmapData> bitmap;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvDynamicImage)
};
