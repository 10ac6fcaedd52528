#include "MvDynamicImage.h"
#include "DefaultPixelFilter.h"

#include <cmath>

MvDynamicImage::MvDynamicImage (int w, int h)
    : pixelFilter (std::make_unique<DefaultPixelFilter>()),
      width (juce::jmax (0, w)),
      height (juce::jmax (0, h))
{
    if (width > 0 && height > 0)
        image = juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    else
        width = height = 0;

    refreshBitmap();
}

MvDynamicImage::~MvDynamicImage()
{
    pixelFilter.reset();
    bitmap.reset();
    image = {};
}

void MvDynamicImage::refreshBitmap()
{
    bitmap.reset();

    if (image.isValid())
        bitmap = std::make_unique<juce::Image::BitmapData> (image, juce::Image::BitmapData::readWrite);
}

juce::uint32* MvDynamicImage::pixelAddress (int x, int y) const
{
    return reinterpret_cast<juce::uint32*> (bitmap->getPixelPointer (x, y));
}

void MvDynamicImage::clear()
{
    if (bitmap == nullptr)
        return;

    for (int y = 0; y < height; ++y)
        std::fill (pixelAddress (0, y), pixelAddress (0, y) + width, 0u);
}

void MvDynamicImage::subtract (int alphaAmount, int colourAmount)
{
    if (bitmap == nullptr)
        return;

    auto sub = [] (juce::uint32 channel, int amount) -> juce::uint32
    {
        return (juce::uint32) juce::jmax (0, (int) channel - amount);
    };

    for (int y = 0; y < height; ++y)
    {
        auto* p = pixelAddress (0, y);

        for (int x = 0; x < width; ++x, ++p)
        {
            const auto v = *p;
            *p = (sub (v >> 24, alphaAmount) << 24)
               | (sub ((v >> 16) & 0xff, colourAmount) << 16)
               | (sub ((v >> 8) & 0xff, colourAmount) << 8)
               | sub (v & 0xff, colourAmount);
        }
    }
}

void MvDynamicImage::setPixelFilter (MvPixelFilter* newFilter)
{
    pixelFilter.reset (newFilter);
}

void MvDynamicImage::setColour (juce::uint32 argb)
{
    colour = argb;

    const double a = (double) (argb >> 24) / 255.0;

    auto toByte = [] (double v) -> juce::uint32
    {
        if (v <= 0.0) return 0;
        if (v >= 1.0) return 255;
        return (juce::uint32) std::nearbyint (v * 255.0); // default rounding mode: ties to even
    };

    const auto r = toByte (a * (double) ((argb >> 16) & 0xff) / 255.0);
    const auto g = toByte (a * (double) ((argb >> 8) & 0xff) / 255.0);
    const auto b = toByte (a * (double) (argb & 0xff) / 255.0);

    premultipliedColour = (toByte (a) << 24) | (r << 16) | (g << 8) | b;
}

void MvDynamicImage::setPixel (int x, int y, juce::uint32 pixelValue)
{
    if (bitmap == nullptr || pixelFilter == nullptr)
        return;

    x = juce::jlimit (0, width - 1, x);
    y = juce::jlimit (0, height - 1, y);
    pixelFilter->apply (pixelAddress (x, y), pixelValue, pixelValue);
}

juce::uint32 MvDynamicImage::getPixel (int x, int y) const
{
    if (bitmap == nullptr || x < 0 || y < 0 || x >= width || y >= height)
        return 0;

    return *pixelAddress (x, y);
}

void MvDynamicImage::plot (int x, int y)
{
    setPixel (x, y, premultipliedColour);
}
