# How the project's libraries and programs meet JUCE.
#
# A JUCE module is compiled into whichever target links its CMake target, so two libraries that
# both linked juce::juce_core would put two copies of it into one program. JUCE's code is
# therefore compiled only in programs: the plug-in's own shared-code target, and one of the two
# prebuilt sets below for every test program, tool and benchmark. The project's libraries see
# the modules' headers and the common JUCE settings only.

# Settings every piece of the project compiles JUCE's headers with, so that all agree.
add_library(vinola_juce_settings INTERFACE)
target_compile_definitions(vinola_juce_settings INTERFACE
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1)
# JUCE gives the programs that compile its modules DEBUG and _DEBUG (from which its headers
# derive JUCE_DEBUG) in Debug builds; the libraries that only include its headers must agree,
# or class layouts differ and JUCE's link-time check fails. Other configurations get nothing
# more here: NDEBUG already comes with their flags.
target_compile_definitions(vinola_juce_settings INTERFACE $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>)

# A library of this project: the folder's *.cpp (but those named after EXCLUDE), its headers
# visible to those that link it.
# Built position-independent with hidden symbols, as it ends up inside the plug-in's shared
# objects; the JUCE modules it names are seen as headers only.
function(vinola_add_library target)
    cmake_parse_arguments(ARG "" "" "JUCE_MODULES;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(name IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${name})
    endforeach()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    set_target_properties(${target} PROPERTIES
        CXX_STANDARD 17
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    # Our own code builds warning-free.
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_link_libraries(${target} PUBLIC vinola_juce_settings)
    foreach(module IN LISTS ARG_JUCE_MODULES)
        target_include_directories(${target} PUBLIC $<TARGET_PROPERTY:juce::${module},INTERFACE_INCLUDE_DIRECTORIES>)
        target_compile_definitions(${target} PUBLIC JUCE_MODULE_AVAILABLE_${module}=1)
    endforeach()
endfunction()

# One set of JUCE modules compiled once, for the programs that link it (and nothing else of
# JUCE): the target carries the modules' headers, settings and system libraries.
function(vinola_add_juce_set target)
    add_library(${target} STATIC)
    set_target_properties(${target} PROPERTIES CXX_STANDARD 17 POSITION_INDEPENDENT_CODE ON)
    foreach(module IN LISTS ARGN)
        target_link_libraries(${target} PRIVATE juce::${module})
    endforeach()
    target_link_libraries(${target} PUBLIC vinola_juce_settings PRIVATE juce::juce_recommended_config_flags)
    target_include_directories(${target} INTERFACE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} INTERFACE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
endfunction()

# Headless programs: the DSP stages, the platform layer and the settings holder.
vinola_add_juce_set(vinola_juce_headless juce_core juce_audio_basics juce_data_structures juce_events)
# Programs that run the processor, the editor or the component library.
vinola_add_juce_set(vinola_juce_gui juce_audio_utils juce_audio_processors juce_gui_basics juce_graphics)
# Debian's JUCE decodes images with the system's libpng and libjpeg without naming them.
target_link_libraries(vinola_juce_gui INTERFACE png jpeg)

# The folder's avx2/*.cpp, compiled for AVX2 and FMA, where the build has such kernels (x86-64
# with GCC or Clang); their code is entered only after the CPU check of VinolaKernels.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(VINOLA_HAS_AVX2_KERNELS ON)
else()
    set(VINOLA_HAS_AVX2_KERNELS OFF)
endif()
function(vinola_add_avx2_sources target)
    if(VINOLA_HAS_AVX2_KERNELS)
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/avx2/*.cpp)
        target_sources(${target} PRIVATE ${sources})
        set_source_files_properties(${sources} PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma")
    endif()
endfunction()
