# Waiting for the display server: through XCB where Qt may run on X11,
# otherwise nothing to wait for.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(XCB QUIET IMPORTED_TARGET GLOBAL xcb)
endif()
if(XCB_FOUND)
    target_sources(kestrix_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/display_server.h
                   ${CMAKE_CURRENT_LIST_DIR}/display_server_xcb.cpp)
    target_link_libraries(kestrix_ui PRIVATE PkgConfig::XCB)
else()
    target_sources(kestrix_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/display_server.h
                   ${CMAKE_CURRENT_LIST_DIR}/display_server_none.cpp)
endif()
