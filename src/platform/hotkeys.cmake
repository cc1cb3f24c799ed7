# The playback hotkeys: the seam, a manual stand-in and the event-filter implementation.
target_sources(kestrix_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/hotkeys.h ${CMAKE_CURRENT_LIST_DIR}/hotkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hotkeys_activation.h ${CMAKE_CURRENT_LIST_DIR}/hotkeys_activation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hotkeys_qt.h ${CMAKE_CURRENT_LIST_DIR}/hotkeys_qt.cpp
)
