# The two commands of the README: `make test` and `make demo`. Every target installs
# what is missing first (and does nothing when all is there).
BUILD      ?= build
WIN_BUILD  := $(BUILD)/win
WIN64_BUILD := $(BUILD)/win64
NAT_BUILD  := $(BUILD)/native
TSAN_BUILD := $(BUILD)/native-tsan
FUZZ_BUILD := $(BUILD)/fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
SESSION    := tools/with-wine-session.sh $(abspath $(WIN_BUILD))/wineprefix
SESSION64  := ORVEX_WINE_ARCH=win64 tools/with-wine-session.sh $(abspath $(WIN64_BUILD))/wineprefix

.PHONY: all deps configure build-win build-win64 build-win-programs build-win64-programs demo-script test-win64 build-native build-tsan build-fuzz test test-native test-tsan test-win fuzz demo dist bench clean

all: build-win build-native

deps:
	@tools/install-deps.sh

$(WIN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(WIN64_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(NAT_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(NAT_BUILD) -DCMAKE_BUILD_TYPE=Debug

$(TSAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DORVEX_SANITIZE=thread

$(FUZZ_BUILD)/CMakeCache.txt: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_FUZZ=ON

build-win: deps $(WIN_BUILD)/CMakeCache.txt
	cmake --build $(WIN_BUILD) -j $(JOBS)

build-native: deps $(NAT_BUILD)/CMakeCache.txt
	cmake --build $(NAT_BUILD) -j $(JOBS)

test-native: build-native
	cd $(NAT_BUILD) && ctest --output-on-failure -j $(JOBS)

# The tests labelled "tsan" (locking) once more under ThreadSanitizer.
build-tsan: deps $(TSAN_BUILD)/CMakeCache.txt
	cmake --build $(TSAN_BUILD) -j $(JOBS)

test-tsan: build-tsan
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L tsan --no-tests=ignore

build-win64: deps $(WIN64_BUILD)/CMakeCache.txt
	cmake --build $(WIN64_BUILD) -j $(JOBS)

# The Windows tests run the shipped 32-bit build under 32-bit Wine. A machine whose
# kernel runs 64-bit programs only cannot start 32-bit Wine: there they run the 64-bit
# build of the same sources under 64-bit Wine instead, and say so.
test-win: build-win
	@if tools/can-run-32bit.sh; then \
	  $(SESSION) sh -c 'cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)'; \
	else \
	  echo "This machine cannot run 32-bit programs: the Windows tests run the 64-bit build under 64-bit Wine."; \
	  $(MAKE) --no-print-directory test-win64; \
	fi

test-win64: build-win64
	$(SESSION64) sh -c 'cd $(WIN64_BUILD) && ctest --output-on-failure -j $(JOBS)'

test: test-native test-tsan test-win

# The libFuzzer programs (clang, ASan/UBSan), each run for FUZZ_SECONDS; an input that
# breaks a target is kept in its corpus, so `make test` replays it from then on.
build-fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) --target orvex_fuzzers -j $(JOBS)

fuzz: build-fuzz
	tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

dist: build-win
	tools/make-dist.sh $(WIN_BUILD) dist

# What the demo and the benchmark run: the modules, the host, the stand-ins and the
# benchmark programs, without the tests.
PROGRAMS := orvex trevanil trevanil_host halcyra ravicore ravimedia devsim flat_bench batch_bench record_bench

build-win-programs: deps $(WIN_BUILD)/CMakeCache.txt
	cmake --build $(WIN_BUILD) -j $(JOBS) --target $(PROGRAMS)

build-win64-programs: deps $(WIN64_BUILD)/CMakeCache.txt
	cmake --build $(WIN64_BUILD) -j $(JOBS) --target $(PROGRAMS)

# The shipped 32-bit programs under 32-bit Wine; where this machine cannot run 32-bit
# programs, the 64-bit build of the same sources under 64-bit Wine (it says so).
demo: deps
	@if tools/can-run-32bit.sh; then \
	  $(MAKE) --no-print-directory build-win-programs >/dev/null && \
	  tools/make-dist.sh $(WIN_BUILD) dist >/dev/null && \
	  tools/with-wine-session.sh $(abspath $(WIN_BUILD))/demo-prefix tools/demo.sh $(WIN_BUILD) dist/win32 dist/win32/devsim; \
	else \
	  echo "This machine cannot run 32-bit programs: the demo runs the 64-bit build ($(WIN64_BUILD)) under 64-bit Wine."; \
	  $(MAKE) --no-print-directory build-win64-programs >/dev/null && \
	  ORVEX_WINE_ARCH=win64 tools/with-wine-session.sh $(abspath $(WIN64_BUILD))/demo-prefix \
	    tools/demo.sh $(WIN64_BUILD) $(WIN64_BUILD)/bin $(WIN64_BUILD)/bin; \
	fi

# The control driven from VBScript through "ORVEX.orvexCtrl.1" (examples/register_fleet.vbs).
demo-script: deps
	@if tools/can-run-32bit.sh; then \
	  $(MAKE) --no-print-directory build-win-programs >/dev/null && \
	  tools/with-wine-session.sh $(abspath $(WIN_BUILD))/demo-prefix tools/demo-script.sh $(WIN_BUILD) $(WIN_BUILD)/bin $(WIN_BUILD)/bin; \
	else \
	  $(MAKE) --no-print-directory build-win64-programs >/dev/null && \
	  ORVEX_WINE_ARCH=win64 tools/with-wine-session.sh $(abspath $(WIN64_BUILD))/demo-prefix \
	    tools/demo-script.sh $(WIN64_BUILD) $(WIN64_BUILD)/bin $(WIN64_BUILD)/bin; \
	fi

# The DLL sizes are those of the shipped 32-bit dist; the figures come from the build
# this machine can run.
bench: build-win-programs
	@tools/make-dist.sh $(WIN_BUILD) $(BUILD)/dist >/dev/null
	@if tools/can-run-32bit.sh; then \
	  $(SESSION) tools/bench.sh $(WIN_BUILD) $(BUILD)/dist; \
	else \
	  $(MAKE) --no-print-directory build-win64-programs >/dev/null && \
	  $(SESSION64) tools/bench.sh $(WIN64_BUILD) $(BUILD)/dist; \
	fi

clean:
	rm -rf $(BUILD) dist
