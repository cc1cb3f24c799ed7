# kestrix_add_test(NAME name SOURCES a.cpp ... [LIBS lib ...] [LABELS ...])
# One QtTest executable registered with CTest, run headless.
function(kestrix_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} kestrix_testsupport Qt6::Test
                          kestrix_warnings)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    # Generous, and QtTest's watchdog of a test function alike: under the
    # sanitizers on a busy machine a test takes several times what it takes
    # alone (the cuts of War and Peace took over 300 s, both limits' default).
    if(NOT T_TIMEOUT OR T_TIMEOUT LESS 1800)
        set(T_TIMEOUT 1800)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTEST_FUNCTION_TIMEOUT=1800000;KESTRIX_CORPUS=${KESTRIX_CORPUS_DIR};ASAN_OPTIONS=detect_leaks=0:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        TIMEOUT ${T_TIMEOUT}
        LABELS "${T_LABELS}")
endfunction()
