# The word display timed on screen: the real program's window under Xvfb,
# watched by an X client through XDamage and clicked through XTest.
find_package(X11)
if(X11_FOUND AND X11_Xdamage_FOUND AND X11_Xtst_FOUND)
    add_executable(screen_window screen/window_under_test.cpp)
    target_link_libraries(screen_window PRIVATE kestrix_app kestrix_warnings)
    target_include_directories(screen_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})

    add_executable(bench_screen bench_screen.cpp
        screen/signature.h
        screen/process.h screen/process.cpp
        screen/observer.h screen/observer.cpp
        screen/analysis.h screen/analysis.cpp)
    target_link_libraries(bench_screen PRIVATE benchmark::benchmark X11::X11 X11::Xdamage
                          X11::Xtst kestrix_warnings)
    target_include_directories(bench_screen PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_definitions(bench_screen PRIVATE
        KESTRIX_CORPUS_DEFAULT="${KESTRIX_CORPUS_DIR}"
        SCREEN_WINDOW="$<TARGET_FILE:screen_window>"
        KESTRIX_PROBE="$<TARGET_FILE:kestrix-probe>")
    add_dependencies(bench_screen screen_window kestrix-probe)
else()
    message(STATUS "bench_screen left out: X11 with XDamage and XTest not found "
                   "(libx11-dev, libxdamage-dev, libxtst-dev)")
endif()
