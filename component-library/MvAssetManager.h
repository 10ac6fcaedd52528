#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <unordered_map>

/** Reads named entries of the product's asset archive (images and the caption font).

    The archive lives in the machine-wide application-support folder:
        <common application support>/Marvolund/<product folder>/<relative path>
    It is opened once, in the constructor; only its header and index stay in memory. Each
    entry's bytes are read from the file on the first request and cached until released.

    The file's byte layout is MvAssetArchiveLayout's.

    The file is untrusted: an index that does not fit in the file gives an archive without
    entries, and an entry whose bytes run past the end of the file, or that cannot be read or
    allocated, is absent. Absent means a null pointer and size 0, and nothing is cached.

    Message thread only; no locking. */
class MvAssetManager
{
public:
    /** Opens <common folder>/Marvolund/<productFolderName>/<relativeArchivePath>, where the
        relative path uses "/" between folders, e.g. ("Vinola", "appdata/Assets.mva").
        Never fails: without a usable archive the manager simply has no entries. */
    MvAssetManager (const juce::String& productFolderName, const juce::String& relativeArchivePath);
    ~MvAssetManager();

    /** The bytes of the entry called `name` (an exact match of its bytes, whatever they are:
        a name need not be valid UTF-8), with `size` set to
        their count; null and size 0 when there is no such entry. The block stays valid until
        releaseAsset (name) or the manager's destruction; asking again before that returns the
        same block without reading the file. */
    const void* getAsset (const char* name, juce::uint32& size);

    /** Frees the cached bytes of `name`; a later getAsset reads them from the file again.
        Does nothing for a name that is not cached. */
    void releaseAsset (const char* name);

private:
    struct CachedEntry
    {
        void* data = nullptr;
        juce::uint32 size = 0;
    };

    static juce::File findArchive (const juce::String& productFolderName, const juce::String& relativeArchivePath);
    void openArchive (const juce::File& archive);
    juce::uint32 indexValue (juce::uint64 byteOffset) const noexcept;
    int findEntry (const char* name) const noexcept;
    bool readEntry (int entry, CachedEntry& result);

    bool isOpen = false;
    // Keyed by the name's raw bytes: a text conversion would bend names that are not valid UTF-8.
    std::unordered_map<std::string, CachedEntry> cache;
    std::unique_ptr<juce::InputStream> stream;
    juce::HeapBlock<char> header;      // header and index, 32 + 72 N bytes; null without entries
    juce::uint32 numEntries = 0;
    juce::int64 fileLength = 0;

    JUCE_DECLARE_NON_COPYABLE (MvAssetManager)
};
