# Korvin 4: the two quick-start commands are `make run` and `make test`.
# Both install what is missing on a Debian 12 machine first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD  ?= build-windows
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build run test test-release test-sanitize test-fuzz deb strength clean \
	deps-windows windows test-windows

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-program.sh $(BUILD)

test: build
	$(MAKE) test-release
	$(MAKE) test-sanitize
	$(MAKE) test-fuzz
	$(MAKE) test-windows

test-release:
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVIN_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) -LE slow

# Each fuzz target runs for a bounded time from its seed corpus.
test-fuzz: deps
	JOBS=$(JOBS) bash scripts/run-fuzz.sh 20

# The Windows build, cross-built with MinGW-w64 into $(WIN_BUILD)/ (the .exe
# files in tools/cli/ and tools/uci/), and its tests under Wine.
deps-windows:
	@bash scripts/install-deps.sh windows

windows: deps-windows
	cmake -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=Release \
		$(if $(wildcard $(WIN_BUILD)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The first start of Wine makes the build's own Wine prefix.
test-windows: windows
	$(WIN_BUILD)/wine-run.sh --prepare
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package korvin4_<version>_<arch>.deb, in $(BUILD)/package/.
deb: build
	@bash scripts/make-deb.sh $(BUILD)

# Ratings of the levels on one scale in engine matches against stockfish
# (hours; not part of test). LEVELS="1 2" picks levels (neighbours named
# together also play each other), FRESH=1 drops their kept games first,
# GAMES=n plays n games per pairing instead of the plan's, PARALLEL=n plays
# n pairings at a time (one per free core). A run goes on from the kept games.
LEVELS ?= 1 2 3 4
strength: configure
	cmake --build $(BUILD) -j $(JOBS) --target korvin-uci
	python3 bench/strength/strength.py --uci $(BUILD)/tools/uci/korvin-uci --levels "$(LEVELS)" \
		$(if $(FRESH),--fresh) $(if $(GAMES),--games $(GAMES)) $(if $(PARALLEL),--parallel $(PARALLEL))

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD) fuzz-build
