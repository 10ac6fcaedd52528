# Run after JUCE's LV2 helper has written the bundle's .ttl files (cmake -P, MANIFEST=path):
# repeats the UI's ui:noUserResize feature in manifest.ttl, whatever the platform's UI class
# (X11UI here, CocoaUI or WindowsUI elsewhere).
#
# JUCE declares the feature only in ui.ttl, which hosts built on lilv (jalv, Ardour) do not
# load when they ask whether the UI may be resized, so they make the plug-in's window a
# resizable one; GTK keeps a resizable window's size, and the window then grows with the zoom
# but never shrinks. With the feature in the manifest the host's window takes every size the
# plug-in reports through the host's resize feature.
file(READ "${MANIFEST}" manifest)
string(FIND "${manifest}" "ui:noUserResize" already)
if(already EQUAL -1)
    string(REGEX REPLACE "(\ta ui:[A-Za-z0-9]+UI ;\n)" "\\1\tlv2:optionalFeature ui:noUserResize ;\n" patched "${manifest}")
    if(patched STREQUAL manifest)
        message(FATAL_ERROR "no UI entry in ${MANIFEST}")
    endif()
    file(WRITE "${MANIFEST}" "${patched}")
endif()
