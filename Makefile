# The README's commands. Each one installs what is missing, configures, builds and goes.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: run test test-plain test-asan bench package deps build format clean

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./src/app/kestrix

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test: test-plain test-asan

# A Debian package of the plain build: build/kestrix_VERSION_ARCH.deb
package: build
	cd $(BUILD) && cpack -G DEB

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKESTRIX_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	cd $(BENCH_BUILD) && bash ../bench/run-all

format:
	find src tools tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
