# Reading and saving the program's files: bounded reads of regular files,
# atomic saves that check every step, and the reasons in words.
target_sources(kestrix_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/file_errors.h
    ${CMAKE_CURRENT_LIST_DIR}/file_errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regular_file.h
    ${CMAKE_CURRENT_LIST_DIR}/regular_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/atomic_save.h
    ${CMAKE_CURRENT_LIST_DIR}/atomic_save.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_guard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/write_protection.h
    ${CMAKE_CURRENT_LIST_DIR}/write_protection.cpp
)
