# The start of the real program under its own Xvfb display: the time to the
# main window and the memory with no book, one book and six books stored.
find_package(X11)
if(TARGET X11::xcb)
    add_executable(bench_launch bench_launch.cpp)
    set_target_properties(bench_launch PROPERTIES AUTOMOC OFF)
    target_link_libraries(bench_launch PRIVATE X11::xcb kestrix_warnings)
    target_compile_definitions(bench_launch PRIVATE
        KESTRIX_CORPUS_DEFAULT="${KESTRIX_CORPUS_DIR}"
        KESTRIX_PROGRAM="$<TARGET_FILE:kestrix>"
        KESTRIX_PROBE="$<TARGET_FILE:kestrix-probe>")
    add_dependencies(bench_launch kestrix kestrix-probe)
else()
    message(STATUS "bench_launch left out: libxcb (libxcb1-dev) not found")
endif()
