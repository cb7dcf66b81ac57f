# Shortcuts for the things a newcomer does; the real build is CMake's.  Each
# build has a configure preset (CMakePresets.json) and its own folder; only
# the everyday one, "test", is a whole workflow.
.PHONY: demo test test-linux test-windows fuzz package package-linux package-windows case-table

# Parallel jobs of each build.
JOBS ?= 2
# Configures preset $(1) and builds its folder $(2), optionally only targets $(3).
configure_and_build = cmake --preset $(1) && \
  cmake --build $(2) --parallel $(JOBS) $(if $(3),--target $(3))

# Build namewisp and run it on a folder of messy sample names.
demo:
	$(call configure_and_build,release,build)
	demo/try-it.sh

# Every test: the Linux build under the sanitizers, and the Windows build
# under Wine when mingw-w64 and Wine are on the machine.
test: test-linux test-windows

test-linux:
	cmake --workflow --preset test

test-windows:
	@if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then \
	  $(call configure_and_build,windows,build-win) && \
	  ctest --test-dir build-win --output-on-failure; \
	else \
	  echo "Windows tests skipped: install g++-mingw-w64-x86-64-posix and wine64 to run them"; \
	fi

# Packages: build/namewisp_<version>_amd64.deb from the release build (needs
# dpkg-dev), and build-win/namewisp-<version>-win64.zip from the Windows build
# when mingw-w64 is on the machine.
package: package-linux package-windows

package-linux:
	$(call configure_and_build,release,build)
	cd build && cpack

package-windows:
	@if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then \
	  $(call configure_and_build,windows,build-win) && \
	  cd build-win && cpack; \
	else \
	  echo "Windows package skipped: install g++-mingw-w64-x86-64-posix to build it"; \
	fi

# Benchmarks (not part of make test): rule throughput, then namewisp against
# the floor program on tmpfs, with the listing's time and the memory of a
# large folder.  Needs libbenchmark-dev.
.PHONY: bench
bench:
	$(call configure_and_build,bench,build-bench)
	build-bench/namewisp_rules_bench --benchmark_min_time=0.2
	python3 bench/run_bench.py build-bench

# Every fuzz target for FUZZ_SECONDS each (make fuzz FUZZ_SECONDS=20 for a
# short run); needs clang-14 and libclang-rt-14-dev.
FUZZ_SECONDS ?= 60

fuzz:
	$(call configure_and_build,fuzz,build-fuzz,fuzz_text fuzz_clean_name fuzz_nfo_ids fuzz_command_line)
	fuzz/run.sh $(FUZZ_SECONDS) build-fuzz

# Writes text/unicode_case_table.inc anew from this machine's utf8proc (the
# unit tests say when the committed table differs from it).
case-table:
	$(call configure_and_build,release,build,case_table)
