#pragma once

#include <cstdint>

/** The asset archive's byte layout, written by the asset tool and read by MvAssetManager.

    Every number is an unsigned 32-bit little-endian value:
        0          magic "ravm" (0x6d766172)
        4          N, the number of entries
        8          24 bytes not interpreted (written as zeros)
        32         N names, 64 bytes each, zero-terminated (so at most 63 bytes of name)
        32 + 64N   N payload offsets from the start of the file
        32 + 68N   N payload sizes in bytes
        32 + 72N   the payloads */
struct MvAssetArchiveLayout
{
    static constexpr std::uint32_t magic = 0x6d766172;   // "ravm" in file order
    static constexpr std::uint64_t headerBytes = 32;
    static constexpr std::uint64_t nameBytes = 64;
    static constexpr std::uint64_t indexBytesPerEntry = nameBytes + 4 + 4;

    /** Where the index of an archive of count entries ends: the first payload byte. */
    static constexpr std::uint64_t indexEnd (std::uint64_t count) noexcept { return headerBytes + indexBytesPerEntry * count; }

    /** Where entry's name, payload offset and payload size stand in an archive of count entries. */
    static constexpr std::uint64_t nameAt (std::uint64_t entry) noexcept { return headerBytes + nameBytes * entry; }
    static constexpr std::uint64_t offsetAt (std::uint64_t entry, std::uint64_t count) noexcept { return headerBytes + nameBytes * count + 4 * entry; }
    static constexpr std::uint64_t sizeAt (std::uint64_t entry, std::uint64_t count) noexcept { return headerBytes + (nameBytes + 4) * count + 4 * entry; }
};
