# The two commands of the README: `make run` and `make test`.
# Both install what is missing from Debian's archive, configure a Release build in build/ and build it.

BUILD_DIR ?= build
JOBS      ?= $(shell nproc)
PACKAGES  := cmake g++ make qt6-base-dev libqcustomplot-dev fonts-noto-cjk libgtest-dev libgmock-dev \
             libbenchmark-dev nlohmann-json3-dev poppler-utils ccache
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CMAKE_ARGS ?=

.PHONY: run test build deps configure bench install clean format sanitize fuzz

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session."; \
	  exit 1; \
	fi
	./$(BUILD_DIR)/app/soranote $(ARGS)

test: build sanitize
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer (no Qt, so quick).
sanitize: deps
	@[ -f build-sanitize/CMakeCache.txt ] || cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSORANOTE_CORE_ONLY=ON -DSORANOTE_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure

build: deps configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure:
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

# libFuzzer on the file readers, FUZZ_SECONDS each (not part of make test). Crashes land in fuzz/crashes/.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS := -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc
fuzz:
	@for p in clang libclang-rt-14-dev; do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" \
	  || { $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$p; }; done
	mkdir -p build-fuzz fuzz/crashes fuzz/corpus/log fuzz/corpus/side_files
	clang++ $(FUZZ_FLAGS) fuzz/fuzz_log.cpp src/core/*.cpp -o build-fuzz/fuzz_log
	clang++ $(FUZZ_FLAGS) fuzz/fuzz_side_files.cpp src/core/*.cpp -o build-fuzz/fuzz_side_files
	cp -n data/sample/データ.txt fuzz/corpus/log/sample.txt 2>/dev/null || true
	build-fuzz/fuzz_log -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=fuzz/crashes/log- fuzz/corpus/log
	build-fuzz/fuzz_side_files -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=fuzz/crashes/side- \
	  fuzz/corpus/side_files

install: build
	cmake --install $(BUILD_DIR)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) build-sanitize
