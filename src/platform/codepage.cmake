# The 8-bit code page of the word library file.
target_sources(kestrix_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/codepage.h
    ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp
)
