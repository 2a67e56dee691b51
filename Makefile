# The two commands of the README: `make run` and `make test`.
# Both install what is missing from Debian's archive, configure a Release build in build/ and build it.

BUILD_DIR ?= build
JOBS      ?= $(shell nproc)
PACKAGES  := cmake g++ make qt6-base-dev libqcustomplot-dev fonts-noto-cjk fonts-morisawa-bizud-gothic libgtest-dev \
             libgmock-dev libbenchmark-dev nlohmann-json3-dev poppler-utils ccache dpkg-dev appstream man-db \
             libexpat1-dev libzip-dev pkg-config qt6-translations-l10n desktop-file-utils qt6-base-private-dev \
             xvfb dbus at-spi2-core python3-pyatspi orca syncthing
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CMAKE_ARGS ?=

.PHONY: run test build deps configure bench install deb clean format sanitize fuzz fuzz-deps

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
	@for b in $(BUILD_DIR)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	done

# libFuzzer on the file readers, one target per reader, FUZZ_SECONDS each and one after the other (not part of
# make test). Seeds: the sample diary and the kept regression inputs (cut to FUZZ_MAX_LEN bytes). Crashes land in
# fuzz/crashes/<target>-*; the table at the end gives executions and crashes per target.
FUZZ_SECONDS   ?= 60
FUZZ_MAX_LEN   ?= 16384
FUZZ_DIR       := build-fuzz
FUZZ_TARGETS   := log help_tour graph_settings auto_time situations memo user_name marker import
FUZZ_CXX       := $(shell command -v ccache >/dev/null 2>&1 && echo ccache) clang++
FUZZ_CXXFLAGS  := -std=c++20 -O1 -g -fno-omit-frame-pointer -Wall -Wextra -Wpedantic -Isrc -MMD -MP
FUZZ_CORE_OBJS := $(patsubst src/core/%.cpp,$(FUZZ_DIR)/core/%.o,$(wildcard src/core/*.cpp src/core/*/*.cpp))

fuzz: fuzz-deps
	@$(MAKE) --no-print-directory $(FUZZ_TARGETS:%=$(FUZZ_DIR)/fuzz_%)
	@mkdir -p fuzz/crashes; failed=""; table=""; \
	for t in $(FUZZ_TARGETS); do \
	  case $$t in log) seed=データ.txt;; help_tour) seed=設定.txt;; graph_settings) seed=グラフ設定.txt;; \
	    auto_time) seed=自動時間.TXT;; situations) seed=状況リスト.txt;; memo) seed=気付きメモ.txt;; \
	    user_name) seed=ﾌﾟﾗｲﾍﾞｰﾄ.txt;; marker) seed=マーカー.TXT;; import) seed=データ.txt;; esac; \
	  mkdir -p fuzz/corpus/$$t && cp -n "data/sample/$$seed" fuzz/corpus/$$t/sample; \
	  for f in tests/fuzz_regressions/$$t/*; do [ -f "$$f" ] && cp -n "$$f" fuzz/corpus/$$t/regression-$${f##*/}; done; \
	  dict=""; [ -f fuzz/$$t.dict ] && dict="-dict=fuzz/$$t.dict"; \
	  echo "== fuzz_$$t, $(FUZZ_SECONDS) s (log: $(FUZZ_DIR)/fuzz_$$t.log)"; \
	  $(FUZZ_DIR)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=$(FUZZ_MAX_LEN) -print_final_stats=1 $$dict \
	    -artifact_prefix=fuzz/crashes/$$t- fuzz/corpus/$$t >$(FUZZ_DIR)/fuzz_$$t.log 2>&1 || failed="$$failed $$t"; \
	  grep -E 'ERROR:|SUMMARY:|Test unit written' $(FUZZ_DIR)/fuzz_$$t.log || true; \
	  runs=$$(sed -n 's/^stat::number_of_executed_units: *//p' $(FUZZ_DIR)/fuzz_$$t.log | tail -1); \
	  crashes=$$(ls fuzz/crashes/ 2>/dev/null | grep -c "^$$t-" || true); \
	  table="$$table$$(printf '%-16s %12s %8s' "$$t" "$${runs:-?}" "$$crashes")\n"; \
	done; \
	printf '%-16s %12s %8s\n%b' target executions crashes "$$table"; \
	[ -z "$$failed" ] || { echo "fuzz: findings in:$$failed (inputs in fuzz/crashes/)"; exit 1; }

fuzz-deps:
	@for p in clang libclang-rt-14-dev; do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" \
	  || { $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$p; }; done

# The core once, instrumented for coverage and the sanitizers; each target links only the objects it needs.
$(FUZZ_DIR)/core/%.o: src/core/%.cpp
	@mkdir -p $(@D)
	$(FUZZ_CXX) $(FUZZ_CXXFLAGS) -fsanitize=fuzzer-no-link,address,undefined -c $< -o $@

$(FUZZ_DIR)/libcore.a: $(FUZZ_CORE_OBJS)
	rm -f $@ && ar rcs $@ $^

$(FUZZ_DIR)/fuzz_%: fuzz/fuzz_%.cpp $(FUZZ_DIR)/libcore.a
	$(FUZZ_CXX) $(FUZZ_CXXFLAGS) -fsanitize=fuzzer,address,undefined $< $(FUZZ_DIR)/libcore.a -lexpat -lzip -o $@

-include $(wildcard $(FUZZ_DIR)/*.d $(FUZZ_DIR)/core/*.d $(FUZZ_DIR)/core/*/*.d)

install: build
	cmake --install $(BUILD_DIR)

# A Debian package of the same files under /usr (dpkg-shlibdeps from dpkg-dev fills in the libraries).
deb: build
	cd $(BUILD_DIR) && cpack -G DEB
	@echo "Install it with: sudo apt install ./$(BUILD_DIR)/$$(cd $(BUILD_DIR) && ls -t soranote_*.deb | head -1)"

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) build-sanitize
