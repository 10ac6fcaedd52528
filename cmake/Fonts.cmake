# The zoom list's font: a Roboto Mono Regular TrueType file kept in resources/ with its licence,
# embedded with the assembler's .incbin like the sample material. Nothing is fetched at build time.

set(VINOLA_ROBOTO_MONO_FILE ${CMAKE_CURRENT_SOURCE_DIR}/resources/RobotoMono-Regular.ttf)
set(VINOLA_FONT_ASM ${CMAKE_CURRENT_BINARY_DIR}/fonts/VinolaFont.S)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fonts)

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/VinolaFont.S.in ${VINOLA_FONT_ASM} @ONLY)
set_source_files_properties(${VINOLA_FONT_ASM} PROPERTIES
    LANGUAGE ASM
    OBJECT_DEPENDS ${VINOLA_ROBOTO_MONO_FILE})

target_sources(Vinola PRIVATE ${VINOLA_FONT_ASM})
