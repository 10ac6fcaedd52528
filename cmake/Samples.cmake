# Sample material: synthesised at build time by our own deterministic generator and embedded
# with the assembler's .incbin, so the compiler never sees megabytes of array literals.

add_executable(VinolaSampleGenerator ${CMAKE_CURRENT_SOURCE_DIR}/tools/VinolaSampleGenerator.cpp)
target_compile_options(VinolaSampleGenerator PRIVATE -O2 -Wall -Wextra)
set_target_properties(VinolaSampleGenerator PROPERTIES CXX_STANDARD 17)

set(VINOLA_SAMPLES_DIR ${CMAKE_CURRENT_BINARY_DIR}/samples)
set(VINOLA_SAMPLE_BLOB ${VINOLA_SAMPLES_DIR}/VinolaSamples.bin)
set(VINOLA_SAMPLE_TABLE ${VINOLA_SAMPLES_DIR}/VinolaSampleTable.inc)
set(VINOLA_SAMPLE_ASM ${VINOLA_SAMPLES_DIR}/VinolaSamples.S)
file(MAKE_DIRECTORY ${VINOLA_SAMPLES_DIR})

add_custom_command(
    OUTPUT ${VINOLA_SAMPLE_BLOB} ${VINOLA_SAMPLE_TABLE}
    COMMAND VinolaSampleGenerator ${VINOLA_SAMPLE_BLOB} ${VINOLA_SAMPLE_TABLE}
    DEPENDS VinolaSampleGenerator
    COMMENT "Synthesising the sample material"
    VERBATIM)

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/VinolaSamples.S.in ${VINOLA_SAMPLE_ASM} @ONLY)
set_source_files_properties(${VINOLA_SAMPLE_ASM} PROPERTIES
    LANGUAGE ASM
    OBJECT_DEPENDS ${VINOLA_SAMPLE_BLOB})

target_sources(Vinola PRIVATE ${VINOLA_SAMPLE_ASM} ${VINOLA_SAMPLE_TABLE})
target_include_directories(Vinola PRIVATE ${VINOLA_SAMPLES_DIR})

# Listening aid: renders the plug-in's output for given parameter values to a WAV file.
add_executable(VinolaListen ${CMAKE_CURRENT_SOURCE_DIR}/tools/VinolaListen.cpp)
vinola_link_shared_code(VinolaListen)
target_compile_options(VinolaListen PRIVATE -O2 -Wall -Wextra)

# Screenshot aid: renders the real window with the installed asset archive to PNG at 1x and 2x.
add_executable(VinolaScreenshot ${CMAKE_CURRENT_SOURCE_DIR}/tools/VinolaScreenshot.cpp)
vinola_link_shared_code(VinolaScreenshot)
target_compile_options(VinolaScreenshot PRIVATE -O2 -Wall -Wextra)

# Writes every resource as a WAV file into build/samples/wav, for looking at the material.
add_custom_target(VinolaSampleWavs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VINOLA_SAMPLES_DIR}/wav
    COMMAND VinolaSampleGenerator ${VINOLA_SAMPLES_DIR}/wav/blob.bin ${VINOLA_SAMPLES_DIR}/wav/table.inc ${VINOLA_SAMPLES_DIR}/wav
    DEPENDS VinolaSampleGenerator
    VERBATIM)
