# Tolvane: build, test, demo and benchmarks. Every target installs what it
# needs (Debian 12, as root) and works from a fresh clone.
BUILD  ?= build
DIST   ?= dist
CMAKE_FLAGS ?= -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
WINE   = tools/with-wine.sh $(BUILD)/wineprefix

.PHONY: all deps configure build test dist testkit bench stress demo clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

# A failing test runs a second time (its first output stays in the log): Wine
# very rarely fails to start a program at all (see docs/contributing.md).
test: build
	@$(WINE) ctest --test-dir $(BUILD) --output-on-failure --timeout 300 --repeat until-pass:2

dist: build
	@rm -rf $(DIST)
	@cmake --install $(BUILD) --prefix $(DIST) >/dev/null
	@echo "Installed into $(DIST)/"

testkit: build
	@tools/make-testkit.sh $(BUILD) $(DIST)/testkit

bench: build
	@$(WINE) tools/run-benchmarks.sh $(BUILD)

stress: build
	@$(WINE) tools/run-stress.sh $(BUILD)

demo: dist
	@$(WINE) $(DIST)/demo/run-demo.sh $(BUILD) $(DIST)

clean:
	rm -rf $(BUILD) $(DIST)
