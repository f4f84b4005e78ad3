# Thin wrapper around CMake and CTest. Every target installs missing Debian packages first.
BUILD        ?= build
ASAN_BUILD   ?= build-asan
BENCH_BUILD  ?= build-bench
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
CTEST_JOBS   ?= $(shell nproc)
CMAKE_GEN    := -G Ninja
PREFIX       ?= /usr/local

# `make run QCM=quiz.qcm`, or `make run quiz.qcm`.
QCM ?= $(firstword $(filter %.qcm,$(MAKECMDGOALS)))
ifeq ($(QCM),)
QCM := examples/capitales.qcm
endif

.PHONY: all deps build run test test-asan bench fuzz clean install package
all: build

# The install and package checks of the test suite, and the package itself, need the Debian
# packaging tools; `make run` does not.
test test-asan package: DEPS_GROUPS = packaging
deps:
	@scripts/install-deps $(DEPS_GROUPS)

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD)

run: build
	$(BUILD)/src/app/nelo-qcm "$(QCM)"

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(CTEST_JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DNELO_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_BUILD)
	@cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(CTEST_JOBS)

bench: deps
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DNELO_BUILD_TESTS=OFF -DNELO_BUILD_BENCH=ON > /dev/null
	@cmake --build $(BENCH_BUILD)
	@set -e; for b in $$(find $(BENCH_BUILD)/bench -type f -name 'bench_*' -executable | sort); do \
	  echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b --benchmark_counters_tabular=true; done

# Each libFuzzer target runs FUZZ_SECONDS seconds on its own corpus under fuzz/corpus/<target>.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DNELO_BUILD_TESTS=OFF -DNELO_BUILD_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD)
	@set -e; for f in $$(find $(FUZZ_BUILD)/fuzz -type f -name 'fuzz_*' -executable | sort); do \
	  name=$$(basename $$f); mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
	  seeds=fuzz/corpus/$${name#fuzz_}; [ -d $$seeds ] || seeds=; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $$f -max_total_time=$(FUZZ_SECONDS) \
	    -rss_limit_mb=4096 -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$name $$seeds; done

# `make install` copies the program, its menu entry, file type, icons, manual page, help and
# sample under PREFIX (DESTDIR= stages it elsewhere); `make package` builds the Debian package
# $(BUILD)/nelo-qcm_<version>_<arch>.deb from the same files.
# install does not build: under sudo it would leave files owned by root in the build tree.
install:
	@[ -f $(BUILD)/cmake_install.cmake ] || { echo "make install: run 'make build' first"; exit 1; }
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)

# Lets `make run quiz.qcm` name the file as a goal.
%.qcm: ;

# The main window with a question and its picture, the splash window and the about box; the
# sheet and the runner enlarged 150 % on 1366x768 and 200 % on 1920x1080; the statistics
# window enlarged 150 % and 200 % on 1366x768; the session on the network: its window with a class
# under way, and the pupils' page in Chromium at a phone's and a computer's size; questions with
# several answers in the pupils' window and on a phone.
.PHONY: screenshots
screenshots: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	@cmake --build $(BUILD) --target nelo-screenshots
	@mkdir -p docs/screenshots
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1920x1080.json \
	  $(BUILD)/src/app/nelo-screenshots examples/capitales.qcm examples/drapeau-france.bmp docs/screenshots
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1366x768.json QT_SCALE_FACTOR=1.5 \
	  $(BUILD)/src/app/nelo-screenshots examples/capitales.qcm examples/drapeau-france.bmp docs/screenshots 150 \
	  sheet,runner,statistics
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1920x1080.json QT_SCALE_FACTOR=2 \
	  $(BUILD)/src/app/nelo-screenshots examples/capitales.qcm examples/drapeau-france.bmp docs/screenshots 200
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1366x768.json QT_SCALE_FACTOR=2 \
	  $(BUILD)/src/app/nelo-screenshots examples/capitales.qcm examples/drapeau-france.bmp docs/screenshots 200 \
	  statistics
	@cmake --build $(BUILD) --target nelo-network-window-shot nelo-network-session-driver
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1366x768.json \
	  $(BUILD)/tests/classroom/nelo-network-window-shot docs/screenshots/network-session-window.png
	@QT_QPA_PLATFORM=offscreen:configfile=scripts/screenshots/screen-1366x768.json \
	  $(BUILD)/tests/classroom/nelo-network-window-shot docs/screenshots/network-session-time-left.png timed
	@QT_QPA_PLATFORM=offscreen /usr/bin/python3 tests/classroom/network_browser_test.py \
	  --driver $(BUILD)/tests/classroom/nelo-network-session-driver --examples examples --screenshots docs/screenshots
	@QT_QPA_PLATFORM=offscreen /usr/bin/python3 tests/classroom/network_identity_browser_test.py \
	  --driver $(BUILD)/tests/classroom/nelo-network-session-driver --examples examples --screenshots docs/screenshots
	@cmake --build $(BUILD) --target nelo-qcm
	@scripts/e2e/run-several-answers.sh $(BUILD)/src/app/nelo-qcm docs/screenshots
