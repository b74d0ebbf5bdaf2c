# Thin front end over CMake. `make run` reads the sample picture;
# `make test` runs the whole suite, normal and sanitized.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-normal test-sanitize bench fuzz install clean

all: build

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS) --target vexolith_cli
	./build/cli/vexolith read

test: test-normal test-sanitize

test-normal: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)
	ctest --test-dir build --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXOLITH_SANITIZE=ON -DVEXOLITH_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

bench: build
	./build/bench/vexolith_bench
	# The side-by-side comparison exists when OpenCV was found (libopencv-dev).
	if [ -x build/bench/vexolith_vs_opencv ]; then ./build/bench/vexolith_vs_opencv; fi

fuzz: deps
	bash fuzz/run.sh

install: build
	cmake --install build

clean:
	rm -rf build build-asan build-fuzz
