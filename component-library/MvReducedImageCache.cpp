#include "MvReducedImageCache.h"

#include <algorithm>
#include <cmath>

JUCE_IMPLEMENT_SINGLETON (MvReducedImageCache)

namespace
{
    // Bilinear sampling reads every source pixel down to half size, where art made at twice its
    // size shows at 100 %; that and anything larger is drawn as it always was.
    constexpr float smallestDirectScale = 0.5f - 1.0e-4f;

    struct Tap
    {
        int index;
        float weight;
    };

    /** For each output pixel along an axis of `from` source pixels shown at `scale` screen
        pixels per source pixel (below 1): the source pixels it covers, each with the share of
        the output pixel it covers. Beyond the image counts as transparent. */
    std::vector<std::vector<Tap>> areaTaps (int from, float scale)
    {
        const double step = 1.0 / (double) scale;
        std::vector<std::vector<Tap>> taps ((size_t) std::ceil ((double) from * scale - 1.0e-3));

        for (size_t i = 0; i < taps.size(); ++i)
        {
            const double start = (double) i * step, end = std::min ((double) from, (double) (i + 1) * step);
            for (int j = (int) start; j < from && j < end; ++j)
                taps[i].push_back ({ j, (float) ((std::min (end, j + 1.0) - std::max (start, (double) j)) / step) });
        }

        return taps;
    }

    /** A scale rounded so that the small differences of the same size drawn at another angle
        or through another route give the same copy. */
    float keyScale (float scale) noexcept
    {
        return std::round (juce::jlimit (1.0f / 256.0f, 1.0f, scale) * 4096.0f) / 4096.0f;
    }
}

MvReducedImageCache::~MvReducedImageCache()
{
    for (auto& copy : copies)
        copy.source->listeners.remove (this);

    clearSingletonInstance();
}

juce::Image MvReducedImageCache::reduce (const juce::Image& image, float across, float down)
{
    // Premultiplied pixels average correctly where opaque parts meet transparent ones.
    const auto source = image.convertedToFormat (juce::Image::ARGB);
    const auto columns = areaTaps (source.getWidth(), keyScale (across));
    const auto rowTaps = areaTaps (source.getHeight(), keyScale (down));
    const int width = (int) columns.size(), height = (int) rowTaps.size();
    std::vector<float> rows ((size_t) width * (size_t) source.getHeight() * 4);

    {
        const juce::Image::BitmapData in (source, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < source.getHeight(); ++y)
            for (int x = 0; x < width; ++x)
                for (const auto& tap : columns[(size_t) x])
                {
                    const auto* pixel = in.getPixelPointer (tap.index, y);
                    auto* sum = &rows[((size_t) y * (size_t) width + (size_t) x) * 4];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += tap.weight * (float) pixel[c];
                }
    }

    juce::Image result (juce::Image::ARGB, width, height, false);
    const juce::Image::BitmapData out (result, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            float sum[4] = {};
            for (const auto& tap : rowTaps[(size_t) y])
                for (int c = 0; c < 4; ++c)
                    sum[c] += tap.weight * rows[((size_t) tap.index * (size_t) width + (size_t) x) * 4 + (size_t) c];

            auto* pixel = out.getPixelPointer (x, y);
            for (int c = 0; c < 4; ++c)
                pixel[c] = (juce::uint8) juce::jlimit (0, 255, (int) (sum[c] + 0.5f));
        }

    return result;
}

void MvReducedImageCache::draw (juce::Graphics& g, const juce::Image& image, const juce::AffineTransform& transform)
{
    if (! image.isValid() || g.isClipEmpty())
        return;

    // Screen pixels per source pixel along each of the image's axes.
    const float scale = g.getInternalContext().getPhysicalPixelScaleFactor();
    const float across = scale * std::hypot (transform.mat00, transform.mat10);
    const float down = scale * std::hypot (transform.mat01, transform.mat11);

    if (! (across < smallestDirectScale || down < smallestDirectScale) || ! (across > 0.0f && down > 0.0f))
    {
        g.drawImageTransformed (image, transform, false);
        return;
    }

    const juce::Point<float> key (keyScale (across), keyScale (down));
    auto& cache = *getInstance();

    if (const auto* copy = cache.find (image, key))
    {
        g.drawImageTransformed (*copy, juce::AffineTransform::scale (1.0f / key.x, 1.0f / key.y).followedBy (transform), false);
        return;
    }

    if (std::none_of (cache.wanted.begin(), cache.wanted.end(),
                      [&] (const auto& w) { return w.first == image && w.second == key; }))
        cache.wanted.emplace_back (image, key);

    cache.triggerAsyncUpdate();
    g.drawImageTransformed (image, transform, false);
}

void MvReducedImageCache::makePendingCopies()
{
    if (auto* cache = getInstanceWithoutCreating())
        cache->handleUpdateNowIfNeeded();
}

const juce::Image* MvReducedImageCache::find (const juce::Image& source, juce::Point<float> scale) const
{
    for (const auto& copy : copies)
        if (copy.source == source.getPixelData() && copy.scale == scale)
            return &copy.image;

    return nullptr;
}

void MvReducedImageCache::handleAsyncUpdate()
{
    const auto pending = std::move (wanted);
    wanted.clear();
    bool made = false;

    for (const auto& [source, scale] : pending)
    {
        if (find (source, scale) != nullptr)
            continue;

        auto* data = source.getPixelData();
        if (std::none_of (copies.begin(), copies.end(), [data] (const Copy& c) { return c.source == data; }))
            data->listeners.add (this);

        copies.push_back ({ data, scale, reduce (source, scale.x, scale.y) });
        made = true;
    }

    // The paints that asked drew the full-size images: show the copies.
    if (made)
        for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
            if (auto* peer = juce::ComponentPeer::getPeer (i))
                peer->getComponent().repaint();
}

void MvReducedImageCache::forget (juce::ImagePixelData* source)
{
    source->listeners.remove (this);
    copies.erase (std::remove_if (copies.begin(), copies.end(), [source] (const Copy& c) { return c.source == source; }),
                  copies.end());
}

void MvReducedImageCache::imageDataChanged (juce::ImagePixelData* source)        { forget (source); }
void MvReducedImageCache::imageDataBeingDeleted (juce::ImagePixelData* source)   { forget (source); }
