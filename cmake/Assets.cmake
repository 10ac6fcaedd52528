# The editor's asset archive: a small tool draws the artwork, packs it with the Inter Light
# face into ${PROJECT_BINARY_DIR}/assets/Assets.mva and writes a contact sheet to review it.
# Everything is generated at build time, and the same sources give the same bytes.

set(VINOLA_INTER_FONT_DIR /usr/share/fonts/opentype/inter CACHE PATH "Folder holding Debian's Inter faces (fonts-inter)")
set(VINOLA_ASSETS_DIR ${PROJECT_BINARY_DIR}/assets)
set(VINOLA_ASSET_TOOL_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools/assets)
get_filename_component(VINOLA_ASSET_TOOL_DIR ${VINOLA_ASSET_TOOL_DIR} ABSOLUTE)

file(GLOB VINOLA_ASSET_TOOL_SOURCES CONFIGURE_DEPENDS ${VINOLA_ASSET_TOOL_DIR}/*.cpp)
juce_add_console_app(vinola-assets PRODUCT_NAME "vinola-assets")
target_sources(vinola-assets PRIVATE ${VINOLA_ASSET_TOOL_SOURCES})
set_source_files_properties(${VINOLA_ASSET_TOOL_SOURCES} PROPERTIES COMPILE_OPTIONS "-Wall;-Wextra")
target_compile_definitions(vinola-assets PRIVATE
    JUCE_WEB_BROWSER=0 JUCE_USE_CURL=0 JUCE_DISPLAY_SPLASH_SCREEN=0 JUCE_STANDALONE_APPLICATION=1)
target_link_libraries(vinola-assets PRIVATE
    juce::juce_graphics juce::juce_events juce::juce_recommended_config_flags)

# Under AddressSanitizer the tool's exit-time leak report (JUCE singletons) must not fail the build.
set(VINOLA_ASSET_TOOL ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:vinola-assets>)

add_custom_command(
    OUTPUT ${VINOLA_ASSETS_DIR}/art/entries.txt
    COMMAND ${VINOLA_ASSET_TOOL} artwork ${VINOLA_ASSETS_DIR}/art ${VINOLA_INTER_FONT_DIR}
    DEPENDS vinola-assets
    COMMENT "Drawing the editor's artwork"
    VERBATIM)

add_custom_command(
    OUTPUT ${VINOLA_ASSETS_DIR}/Assets.mva
    COMMAND ${VINOLA_ASSET_TOOL} pack ${VINOLA_ASSETS_DIR}/Assets.mva
            Inter-Light-BETA.ttf=${VINOLA_INTER_FONT_DIR}/Inter-Light.otf
            @${VINOLA_ASSETS_DIR}/art/entries.txt
    DEPENDS vinola-assets ${VINOLA_ASSETS_DIR}/art/entries.txt ${VINOLA_INTER_FONT_DIR}/Inter-Light.otf
    COMMENT "Packing the asset archive"
    VERBATIM)

add_custom_command(
    OUTPUT ${VINOLA_ASSETS_DIR}/ContactSheet.png
    COMMAND ${VINOLA_ASSET_TOOL} contact-sheet ${VINOLA_ASSETS_DIR}/Assets.mva ${VINOLA_ASSETS_DIR}/ContactSheet.png ${VINOLA_INTER_FONT_DIR}
    DEPENDS vinola-assets ${VINOLA_ASSETS_DIR}/Assets.mva
    COMMENT "Writing the artwork contact sheet"
    VERBATIM)

add_custom_target(VinolaAssets ALL DEPENDS ${VINOLA_ASSETS_DIR}/Assets.mva ${VINOLA_ASSETS_DIR}/ContactSheet.png)

# The test target is defined after this file is included, so it is hooked up at the end of
# the directory: the tests need the built archive and compile the archive class themselves.
function(vinola_assets_hook_up_tests)
    if(TARGET VinolaTests)
        add_dependencies(VinolaTests VinolaAssets)
        target_sources(VinolaTests PRIVATE ${VINOLA_ASSET_TOOL_DIR}/MvAssetArchive.cpp)
        target_include_directories(VinolaTests PRIVATE ${VINOLA_ASSET_TOOL_DIR})
        target_compile_definitions(VinolaTests PRIVATE
            VINOLA_ASSET_ARCHIVE="${VINOLA_ASSETS_DIR}/Assets.mva"
            VINOLA_ASSET_TOOL="$<TARGET_FILE:vinola-assets>"
            VINOLA_INTER_FONT_DIR="${VINOLA_INTER_FONT_DIR}")
    endif()
endfunction()
cmake_language(DEFER CALL vinola_assets_hook_up_tests)
