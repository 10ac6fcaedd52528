#pragma once

/** The sample material compiled into the plug-in, looked up by name. */
class VinolaResources
{
public:
    VinolaResources() = delete;

    /** The bytes of the named resource, or null with sizeInBytes = 0 for an unknown, empty or
        null name. Only a 32-bit hash of the name is compared (h = h * 31 + c over the name's
        bytes taken as signed chars), so another string with the same hash finds the same
        resource. Stateless and lock-free. */
    static const void* find (const char* name, int& sizeInBytes) noexcept;

    /** The lookup key of a name. */
    static int hashName (const char* name) noexcept;
};
