#include "MvAssetArchive.h"
#include "MvAssetArchiveLayout.h"

namespace
{
    using Layout = MvAssetArchiveLayout;

    void putU32 (char* destination, juce::uint32 value)
    {
        for (int i = 0; i < 4; ++i)
            destination[i] = (char) ((value >> (8 * i)) & 0xff);
    }
}

bool MvAssetArchive::addEntry (const juce::String& name, const juce::MemoryBlock& data, juce::String& error)
{
    const auto bytes = name.getNumBytesAsUTF8();
    if (bytes == 0)
    {
        error = "an entry name must not be empty";
        return false;
    }
    if (bytes > (size_t) maxNameBytes)
    {
        error = "entry name \"" + name + "\" is " + juce::String ((int) bytes) + " bytes long; at most "
              + juce::String (maxNameBytes) + " fit the archive's " + juce::String ((int) Layout::nameBytes) + "-byte name field";
        return false;
    }
    for (const auto& e : entries)
    {
        if (e.name == name)
        {
            error = "entry name \"" + name + "\" is given twice";
            return false;
        }
    }

    entries.add ({ name, data });
    return true;
}

bool MvAssetArchive::addFile (const juce::String& name, const juce::File& file, juce::String& error)
{
    juce::MemoryBlock data;
    if (! file.existsAsFile() || ! file.loadFileAsData (data))
    {
        error = "cannot read " + file.getFullPathName();
        return false;
    }
    return addEntry (name, data, error);
}

bool MvAssetArchive::serialise (juce::MemoryBlock& result, juce::String& error) const
{
    const auto n = (size_t) entries.size();
    juce::uint64 total = Layout::indexEnd (n);
    for (const auto& e : entries)
        total += e.data.getSize();

    if (total > 0xffffffffu)
    {
        error = "the archive would be larger than 4 GiB, beyond its 32-bit offsets";
        return false;
    }

    result.setSize ((size_t) total, true); // zero-filled: reserved header bytes and name padding
    auto* out = static_cast<char*> (result.getData());
    putU32 (out, Layout::magic);
    putU32 (out + 4, (juce::uint32) n);

    auto offset = (juce::uint32) Layout::indexEnd (n);
    for (size_t i = 0; i < n; ++i)
    {
        const auto& e = entries.getReference ((int) i);
        const auto* utf8 = e.name.toRawUTF8();
        std::memcpy (out + Layout::nameAt (i), utf8, e.name.getNumBytesAsUTF8());
        putU32 (out + Layout::offsetAt (i, n), offset);
        putU32 (out + Layout::sizeAt (i, n), (juce::uint32) e.data.getSize());
        if (e.data.getSize() > 0)
            std::memcpy (out + offset, e.data.getData(), e.data.getSize());
        offset += (juce::uint32) e.data.getSize();
    }
    return true;
}

bool MvAssetArchive::writeTo (const juce::File& file, juce::String& error) const
{
    juce::MemoryBlock bytes;
    if (! serialise (bytes, error))
        return false;

    if (! file.getParentDirectory().createDirectory() || ! file.replaceWithData (bytes.getData(), bytes.getSize()))
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

bool MvAssetArchive::readFrom (const juce::File& file, juce::String& error)
{
    juce::MemoryBlock bytes;
    if (! file.existsAsFile() || ! file.loadFileAsData (bytes))
    {
        error = "cannot read " + file.getFullPathName();
        return false;
    }

    const auto* in = static_cast<const char*> (bytes.getData());
    const auto length = (juce::uint64) bytes.getSize();
    if (length < 8 || juce::ByteOrder::littleEndianInt (in) != Layout::magic)
    {
        error = file.getFullPathName() + " is not an asset archive";
        return false;
    }

    const auto n = (juce::uint64) juce::ByteOrder::littleEndianInt (in + 4);
    if (Layout::indexEnd (n) > length)
    {
        error = file.getFullPathName() + ": the index does not fit in the file";
        return false;
    }

    juce::Array<Entry> loaded;
    for (juce::uint64 i = 0; i < n; ++i)
    {
        const auto* nameField = in + Layout::nameAt (i);
        const auto offset = (juce::uint64) juce::ByteOrder::littleEndianInt (in + Layout::offsetAt (i, n));
        const auto size = (juce::uint64) juce::ByteOrder::littleEndianInt (in + Layout::sizeAt (i, n));
        if (offset + size > length)
        {
            error = file.getFullPathName() + ": entry " + juce::String ((int) i) + " runs past the end of the file";
            return false;
        }
        const auto nameLength = (size_t) (std::find (nameField, nameField + Layout::nameBytes, '\0') - nameField);
        loaded.add ({ juce::String::fromUTF8 (nameField, (int) nameLength),
                      juce::MemoryBlock (in + offset, (size_t) size) });
    }

    entries.swapWith (loaded);
    return true;
}
