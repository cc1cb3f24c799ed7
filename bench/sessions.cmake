kestrix_add_bench(bench_sessions bench_sessions.cpp)
target_link_libraries(bench_sessions PRIVATE kestrix_app Qt6::Charts)
