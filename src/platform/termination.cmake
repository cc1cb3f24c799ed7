# SIGTERM, SIGINT and SIGHUP turned into a Qt signal through a self-pipe.
target_sources(kestrix_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/termination_signals.h
    ${CMAKE_CURRENT_LIST_DIR}/termination_signals_posix.cpp
)
