kestrix_add_test(NAME test_codepage SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_codepage.cpp)
