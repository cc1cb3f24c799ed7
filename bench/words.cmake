kestrix_add_bench(bench_words bench_words.cpp)
