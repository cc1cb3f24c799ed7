# The operating-system seams: hotkeys and the power inhibitor.
kestrix_add_test(NAME test_hotkeys SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_hotkeys.cpp)
kestrix_add_test(NAME test_power SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_power.cpp)
kestrix_add_test(NAME test_activation SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_activation.cpp)
kestrix_add_test(NAME test_single_instance SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_single_instance.cpp)
