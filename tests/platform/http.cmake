# QtHttpGet against a server in the test process; the server serves tests/update too.
add_library(kestrix_test_http_server STATIC
    ${CMAKE_CURRENT_LIST_DIR}/local_http_server.h
    ${CMAKE_CURRENT_LIST_DIR}/local_http_server.cpp
)
target_include_directories(kestrix_test_http_server PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kestrix_test_http_server PUBLIC Qt6::Network PRIVATE kestrix_warnings)

kestrix_add_test(NAME test_http_get
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_http_get.cpp
    LIBS kestrix_test_http_server)
