# The two commands of the README: `make run` and `make test`. Both install what is
# missing, configure and build incrementally in ./build; `make run` installs only what
# building and running need, everything else installs the test tools too.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
SETUP = test
# The machine is shared: every benchmark runs five times and the medians count.
BENCH_FLAGS ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

.PHONY: run test package setup configure build contact-sheet sound-sheet bench atlas mutation \
        clean web web-test

run: SETUP = run
package: SETUP = package

setup:
	@tools/setup.sh $(SETUP)

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: configure
	cmake --build $(BUILD) --target tallreed
	./$(BUILD)/tallreed

# Configured again: a tree first set up by `make run` was configured without the test
# tools, which are installed by now.
test: configure
	cmake -S . -B $(BUILD) > /dev/null
	cmake --build $(BUILD)
	cd $(BUILD) && ctest -j2 --output-on-failure

# The Debian package, $(BUILD)/tallreed_<version>_amd64.deb.
package: configure
	cmake --build $(BUILD) --target package

contact-sheet: build
	/usr/bin/python3 tools/art/contact_sheet.py $(BUILD)/art/png $(BUILD)/contact-sheet.png
	@echo "wrote $(BUILD)/contact-sheet.png"

sound-sheet: build
	/usr/bin/python3 tools/sound/sound_sheet.py $(BUILD)/sound $(BUILD)/sound-sheet.png
	@echo "wrote $(BUILD)/sound-sheet.png"

bench: build
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b $(BENCH_FLAGS); done

# Takes the simulator's pictures of every screen as the atlas's new references.
atlas: build
	cd tests/e2e && /usr/bin/python3 atlas.py $(abspath $(BUILD))/tallreed-sim \
		$(abspath $(BUILD))/tallreed $(abspath $(BUILD))/atlas --update

# Sampled mutation testing (slow, not part of make test): make mutation SEED=1 N=60 JOBS=2
mutation: build
	/usr/bin/python3 tools/mutation/mutate.py --build $(BUILD) $(if $(SEED),--seed $(SEED)) \
		$(if $(N),-n $(N)) $(if $(JOBS),-j $(JOBS))

clean:
	rm -rf $(BUILD)

# ---------------------------------------------------------------------------
# The browser build (README, "Browser"): emscripten links the same game with the web
# backend into $(WEB_BUILD)/index.html, index.js and index.wasm, with the resource pack
# of the desktop build. `make web-test` runs the store tests in node against the wasm
# build and drives the page in Debian's headless Chromium.
WEB_BUILD ?= build-web
# Debian's emscripten runs its optimiser's helpers from the system's node modules.
EMENV = NODE_PATH=/usr/share/nodejs

# Configured every time: the pack's size is written into the assembly that links it in.
web: configure
	cmake --build $(BUILD) --target resources
	@tools/setup-web.sh
	$(EMENV) emcmake cmake -S cmake/web -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DTALLREED_PACK=$(abspath $(BUILD))/pack/pack.bin > /dev/null
	$(EMENV) cmake --build $(WEB_BUILD) --target index
	@gzip -9 -c $(WEB_BUILD)/index.wasm | wc -c | xargs printf "index.wasm: %s bytes gzip-compressed\n"

web-test: web
	@tools/setup-web.sh --test
	cmake --build $(BUILD) --target tallreed-sim
	$(EMENV) cmake --build $(WEB_BUILD) --target web_store_tests
	node --no-experimental-fetch $(WEB_BUILD)/web_store_tests.js
	node tests/web/web_test.mjs $(WEB_BUILD) $(BUILD)/tallreed-sim
