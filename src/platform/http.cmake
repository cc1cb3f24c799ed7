# HTTP GET through Qt Network.
target_sources(kestrix_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/http_get_qt.h
    ${CMAKE_CURRENT_LIST_DIR}/http_get_qt.cpp
)
