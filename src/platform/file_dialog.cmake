# Asking for a file to open: the seam and QFileDialog behind it.
target_sources(kestrix_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog.h ${CMAKE_CURRENT_LIST_DIR}/file_dialog.cpp
)
