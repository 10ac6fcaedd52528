#pragma once

// Test sandboxes for the product's folders on disk.

#include "MvPlatform.h"

#include <juce_data_structures/juce_data_structures.h>

/** Points both application-support folders ("user" and "common" below a fresh folder) away from
    the run-wide ones for its life, then restores them. */
struct FolderSandbox
{
    explicit FolderSandbox (const char* name = "folder-sandbox")
        : previousUser (MvPlatform::userApplicationSupportFolder()),
          previousCommon (MvPlatform::commonApplicationSupportFolder()),
          root (juce::File::createTempFile (name))
    {
        root.createDirectory();
        MvPlatform::setFolderOverridesForTests (user(), common());
    }

    ~FolderSandbox()
    {
        MvPlatform::setFolderOverridesForTests (previousUser, previousCommon);
        root.deleteRecursively();
    }

    juce::File user() const { return root.getChildFile ("user"); }
    juce::File common() const { return root.getChildFile ("common"); }

    /** Copies an asset archive to where the product's asset manager looks for it. */
    bool installArchive (const juce::File& archive) const
    {
        const auto target = common().getChildFile ("Marvolund/Vinola/appdata/Assets.mva");
        return target.getParentDirectory().createDirectory() && archive.copyFileTo (target);
    }

    juce::File previousUser, previousCommon, root;

    JUCE_DECLARE_NON_COPYABLE (FolderSandbox)
};

/** The settings file's options as the plug-in opens it: compressed, saved 3 s after a change. */
inline juce::PropertiesFile::Options vinolaSettingsFileOptions()
{
    juce::PropertiesFile::Options o;
    o.applicationName = "Vinola";
    o.filenameSuffix = ".settings";
    o.folderName = "Marvolund";
    o.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    o.millisecondsBeforeSaving = 3000;
    return o;
}
