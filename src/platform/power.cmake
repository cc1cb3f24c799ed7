# Refusing suspend and standby: the seam and the logind inhibitor over D-Bus.
target_sources(kestrix_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/power.h
    ${CMAKE_CURRENT_LIST_DIR}/power_logind.h ${CMAKE_CURRENT_LIST_DIR}/power_logind.cpp
)
