# The two commands of the README: `make run` and `make test`. Both install what is
# missing, configure and build incrementally in ./build; `make run` installs only what
# building and running need, everything else installs the test tools too.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
SETUP = test
# The machine is shared: every benchmark runs five times and the medians count.
BENCH_FLAGS ?= --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

.PHONY: run test package setup configure build contact-sheet sound-sheet bench atlas mutation clean

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
