#Where the reader's files live: the per-user folders, the old layout, --portable.
target_sources(kestrix_core PRIVATE ${CMAKE_CURRENT_LIST_DIR} /
               user_files.h ${CMAKE_CURRENT_LIST_DIR} / user_files.cpp)
