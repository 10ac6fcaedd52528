# Lets a test, tool or benchmark link the plug-in's shared code (the static target `Vinola`).
# JUCE modules are linked privately into it, so the consumer borrows its include directories
# and compile definitions.
function(vinola_link_shared_code target)
    target_link_libraries(${target} PRIVATE Vinola)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:Vinola,INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:Vinola,COMPILE_DEFINITIONS>)
    set_target_properties(${target} PROPERTIES CXX_STANDARD 17)
endfunction()
