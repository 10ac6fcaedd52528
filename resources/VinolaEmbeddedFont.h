#pragma once

/** The TrueType font compiled into the plug-in for the zoom list's texts (Roboto Mono Regular,
    under the SIL Open Font License kept beside the file in resources/). */
class VinolaEmbeddedFont
{
public:
    VinolaEmbeddedFont() = delete;

    /** The font file's bytes, valid for the life of the process; sizeInBytes is set to their
        count. Stateless and lock-free. */
    static const void* robotoMonoRegular (int& sizeInBytes) noexcept;
};
