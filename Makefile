# The suite's entry points. `make run` and `make test` install what is missing first.

SHELL := /bin/bash
CMAKE_GENERATOR := Ninja
BUILD_RUN := build/release
BUILD_TEST := build/test
BUILD_FUZZ := build/fuzz
BUILD_ASAN := build/asan
BUILD_TSAN := build/tsan
JOBS ?= $(shell nproc)

.PHONY: deps run build-run test build-test test-engine-tsan test-asan bench fuzz fuzz-long check-asan check-tsan clean

deps:
	./scripts/install-deps

build-run: deps
	cmake -S . -B $(BUILD_RUN) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTACHY_BUILD_TESTS=OFF
	cmake --build $(BUILD_RUN) -j $(JOBS)

DEMO_CARD := build/demo-card-1080p

$(DEMO_CARD)/manifest.json:
	$(BUILD_RUN)/bin/mkcard --rule data/_option/FileNameRule_A.ini --out $(DEMO_CARD) \
		--channels 2 --seconds 180 --period 60 --size 1920x1080 --rear-size 1280x720 \
		--modes normal,event,parking

# Opens the viewer on the demo card and plays it. Without a display, the viewer runs on a
# virtual one long enough to save a screenshot of it playing.
run: build-run $(DEMO_CARD)/manifest.json
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		$(BUILD_RUN)/bin/tachyPlayer --open $(DEMO_CARD) --play; \
	else \
		echo "No display here: playing the demo card on a virtual display to take a screenshot."; \
		QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1920x1080x24" \
			$(BUILD_RUN)/bin/tachyPlayer --open $(DEMO_CARD) --play --after 4000 \
			--screenshot $(CURDIR)/build/viewer-playing.png --quit && \
		echo "The viewer played the demo card: see build/viewer-playing.png"; \
	fi

build-test: deps
	cmake -S . -B $(BUILD_TEST) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_TEST) -j $(JOBS)

# Every test: the unit suites and the fuzz targets' replay of their corpora, then the fuzz
# targets under libFuzzer for a short time each, the threads under ThreadSanitizer, and the core
# libraries' suites under AddressSanitizer and UBSan.
test: build-test
	cd $(BUILD_TEST) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory fuzz
	$(MAKE) --no-print-directory test-engine-tsan
	$(MAKE) --no-print-directory test-asan ASAN_SUITES='$(ASAN_CORE_SUITES)' ASAN_LABELS='$(ASAN_CORE_LABELS)'

# AddressSanitizer and UBSan: reports inside libraries we do not own are suppressed by the
# committed lists in tests/sanitizers (one commented entry per library); any other report fails.
# The build needs them too: the test lists are read by running the test programs.
SANITIZER_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/ubsan.supp:print_stacktrace=1:halt_on_error=1 \
	ASAN_OPTIONS=detect_leaks=1
# The suites of the core libraries and of the viewer parts that need neither the web engine nor
# OpenGL (the map's web view is left out with TACHY_MAP=off, as in the ThreadSanitizer run).
ASAN_SUITES := platform_tests util_tests setupfile_tests avi_tests naming_tests engine_tests \
	audio_tests picturedec_tests skin_tests viewer_obd_tests viewer_driving_tests \
	viewer_panels_tests viewer_playbar_tests viewer_list_tests
ASAN_LABELS := ^(platform|util|setupfile|avi|naming|engine|audio|picturedec|skin|viewer_obd|viewer_driving|viewer_panels|viewer_playbar|viewer_list)$$
# What `make test` runs under them: the core libraries' suites.
ASAN_CORE_SUITES := platform_tests util_tests setupfile_tests avi_tests naming_tests engine_tests \
	audio_tests picturedec_tests skin_tests
ASAN_CORE_LABELS := ^(platform|util|setupfile|avi|naming|engine|audio|picturedec|skin)$$

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_SANITIZE=address,undefined -DTACHY_BUILD_BENCH=OFF
	$(SANITIZER_ENV) cmake --build $(BUILD_ASAN) -j $(JOBS) --target $(ASAN_SUITES)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen TACHY_MAP=off $(SANITIZER_ENV) \
		ctest --output-on-failure -j $(JOBS) -L '$(ASAN_LABELS)'

# The engine's and the viewer's threads under ThreadSanitizer, in a build directory of their own.
# The map's web view is left out (TACHY_MAP=off, and its page tests): the web engine's threads
# are not built for the sanitizer and only give false reports; the map's own worker is checked.
test-engine-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_SANITIZE=thread -DTACHY_BUILD_BENCH=OFF
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target engine_tests viewer_list_tests viewer_main_tests viewer_map_tests
	cd $(BUILD_TSAN) && QT_QPA_PLATFORM=offscreen TACHY_MAP=off ctest --output-on-failure -j $(JOBS) \
		-L 'engine|viewer_list|viewer_main|viewer_map' -E '^MapPage'


# Every fuzz target for 15 seconds (JOBS at a time), on its seeds and dictionary: the CI smoke run.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_FUZZ=ON -DTACHY_BUILD_BENCH=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	cd $(BUILD_FUZZ) && ctest --output-on-failure -j $(JOBS) -L fuzz

# Every fuzz target for FUZZ_SECONDS each, FUZZ_PARALLEL at a time (FUZZ_TARGETS: only these),
# growing the corpus kept in build/fuzz/fuzz-corpus/<target>; ends with a table of executions
# per second, total executions and coverage per target.
FUZZ_SECONDS ?= 1200
FUZZ_PARALLEL ?= 2
FUZZ_TARGETS ?=
fuzz-long: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_FUZZ=ON -DTACHY_BUILD_BENCH=OFF
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	./tests/fuzz/fuzz-long.sh $(BUILD_FUZZ) $(FUZZ_SECONDS) $(FUZZ_PARALLEL) $(FUZZ_TARGETS)

bench: build-run
	cmake --build $(BUILD_RUN) -j $(JOBS) --target run_benchmarks

check-asan: deps
	cmake -S . -B $(BUILD_ASAN) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_SANITIZE=address,undefined -DTACHY_BUILD_BENCH=OFF
	$(SANITIZER_ENV) cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

check-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -G $(CMAKE_GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHY_SANITIZE=thread
	cmake --build $(BUILD_TSAN) -j $(JOBS)
	cd $(BUILD_TSAN) && QT_QPA_PLATFORM=offscreen TACHY_MAP=off ctest --output-on-failure -j $(JOBS) -E '^MapPage'

clean:
	rm -rf build

# The Debian package, made by CPack from the release build that `make run` uses.
.PHONY: package package-test
package: build-run
	cd $(BUILD_RUN) && cpack -G DEB
	@ls $(BUILD_RUN)/tachy_*.deb

# Checks the package with lintian, the desktop entries and the AppStream metadata with their
# validators, then installs it in a clean Debian 12 made by debootstrap and runs the programs
# there. Long (the first run downloads Debian): not part of `make test`.
package-test: package
	./scripts/package-test $(BUILD_RUN)
