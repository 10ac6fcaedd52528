#include "MvGlobalSettings.h"
#include "MvPlatform.h"

#include <unistd.h>

namespace
{
    bool folderMissing (const juce::String& path)
    {
        return path.isEmpty() || ::access (path.toRawUTF8(), F_OK) != 0;
    }
}

MvGlobalSettings::MvGlobalSettings (const juce::String& productFolderName, int flagsToStore)
    : flags (flagsToStore), productName (productFolderName)
{
    buildPaths();
}

MvGlobalSettings::~MvGlobalSettings()
{
    // The file goes first: deleting it writes any change not yet saved.
    settingsFile.reset();
}

void MvGlobalSettings::buildPaths()
{
    const auto app = juce::File::getSpecialLocation (juce::File::currentApplicationFile);
    bundleResourcesFolder = app.getChildFile ("Contents").getChildFile ("Resources").getFullPathName();

    userDataFolder = MvPlatform::userApplicationSupportFolder().getChildFile ("Marvolund").getFullPathName();
    if (folderMissing (userDataFolder))
        (void) juce::File (userDataFolder).createDirectory();

    userDataFolder = juce::File (userDataFolder).getChildFile (productName).getFullPathName();
    if (folderMissing (userDataFolder))
        (void) juce::File (userDataFolder).createDirectory();

    commonDataFolder = MvPlatform::commonApplicationSupportFolder().getChildFile ("Marvolund").getFullPathName();
    if (folderMissing (commonDataFolder))
        return;

    // The product folder stands whether or not it exists; nothing is created machine-wide.
    commonDataFolder = juce::File (commonDataFolder).getChildFile (productName).getFullPathName();
}
