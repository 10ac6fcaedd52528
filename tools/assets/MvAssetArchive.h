#pragma once

#include <juce_core/juce_core.h>

#include "MvAssetArchiveLayout.h"

/** An asset archive held whole in memory, for the build tools: collects named files, writes
    them as one archive file, and reads such a file back (the plug-in itself reads archives
    with MvAssetManager, which keeps only the index in memory).

    The written layout is MvAssetArchiveLayout's, the payloads in the order they were added.
    A name holds 1 to 63 bytes. */
class MvAssetArchive
{
public:
    static constexpr int maxNameBytes = (int) MvAssetArchiveLayout::nameBytes - 1;   // and the terminator

    /** Adds an entry; false with `error` set for a name that is empty or longer than
        maxNameBytes bytes, or that is already in the archive. */
    bool addEntry (const juce::String& name, const juce::MemoryBlock& data, juce::String& error);

    /** Adds the file's content under `name`; false with `error` set when the name is refused
        or the file cannot be read. */
    bool addFile (const juce::String& name, const juce::File& file, juce::String& error);

    /** The complete archive file's bytes; false with `error` set when it would not fit the
        format's 32-bit offsets. */
    bool serialise (juce::MemoryBlock& result, juce::String& error) const;

    /** Writes the archive to `file`, replacing it; false with `error` set on failure. */
    bool writeTo (const juce::File& file, juce::String& error) const;

    /** Replaces this archive's entries with those of an archive file; false with `error` set
        when the file is unreadable or not a well-formed archive. */
    bool readFrom (const juce::File& file, juce::String& error);

    int getNumEntries() const noexcept                        { return entries.size(); }
    const juce::String& getName (int index) const             { return entries.getReference (index).name; }
    const juce::MemoryBlock& getData (int index) const        { return entries.getReference (index).data; }

private:
    struct Entry
    {
        juce::String name;
        juce::MemoryBlock data;
    };

    juce::Array<Entry> entries;
};
