#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <memory>

/** Knows a product's folders on disk and carries the product's settings file.

    The owner constructs it with the product folder name, then opens the settings file in
    userDataFolder and hands it over through `settingsFile`. Message thread only. */
class MvGlobalSettings
{
public:
    MvGlobalSettings (const juce::String& productFolderName, int flags);
    ~MvGlobalSettings();

    /** Builds the four folder paths and creates the user folders when they are missing. */
    void buildPaths();

    int flags = 0;
    juce::String bundleResourcesFolder;
    juce::String userDataFolder;
    juce::String commonDataFolder;
    juce::String productName;
    std::unique_ptr<juce::PropertiesFile> settingsFile;

private:
    JUCE_DECLARE_NON_COPYABLE (MvGlobalSettings)
};
