#include "MvLoadArchiveImage.h"
#include "MvAssetManager.h"

juce::Image MvLoadArchiveImage (MvAssetManager& assets, const char* name)
{
    juce::uint32 size = 0;
    const void* data = assets.getAsset (name, size);
    juce::Image image;

    if (data != nullptr && size >= 5)
        image = juce::ImageFileFormat::loadFrom (data, (size_t) size);

    assets.releaseAsset (name);
    return image;
}
