# Shortcuts for the two things a newcomer does; the real build is CMake's.
.PHONY: demo test test-linux test-windows fuzz package package-linux package-windows

# Build namewisp and run it on a folder of messy sample names.
demo:
	cmake --workflow --preset release
	demo/try-it.sh

# Every test: the Linux build under the sanitizers, and the Windows build
# under Wine when mingw-w64 and Wine are on the machine.
test: test-linux test-windows

test-linux:
	cmake --workflow --preset test

test-windows:
	@if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then \
	  cmake --workflow --preset windows; \
	else \
	  echo "Windows tests skipped: install g++-mingw-w64-x86-64-posix and wine64 to run them"; \
	fi

# Packages: build/namewisp_<version>_amd64.deb from the release build (needs
# dpkg-dev), and build-win/namewisp-<version>-win64.zip from the Windows build
# when mingw-w64 is on the machine.
package: package-linux package-windows

package-linux:
	cmake --workflow --preset release
	cd build && cpack

package-windows:
	@if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then \
	  cmake --preset windows && cmake --build --preset windows && \
	  cd build-win && cpack; \
	else \
	  echo "Windows package skipped: install g++-mingw-w64-x86-64-posix to build it"; \
	fi

# Benchmarks (not part of make test): rule throughput, then namewisp against
# the floor program on tmpfs.  Needs libbenchmark-dev.
.PHONY: bench
bench:
	cmake --workflow --preset bench
	build-bench/namewisp_rules_bench --benchmark_min_time=0.2
	python3 bench/run_bench.py build-bench

# Every fuzz target for FUZZ_SECONDS each (make fuzz FUZZ_SECONDS=20 for a
# short run); needs clang-14 and libclang-rt-14-dev.
FUZZ_SECONDS ?= 60

fuzz:
	cmake --workflow --preset fuzz
	fuzz/run.sh $(FUZZ_SECONDS) build-fuzz
