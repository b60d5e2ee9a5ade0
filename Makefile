# Thin wrapper around CMake. Every target installs what is missing first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX  ?= /usr/local
DESTDIR ?=
# What installing and packaging need; the tests and the art tools are not among them.
INSTALLED_TARGETS = orvane orvane-cli orvane-modsim orvane_data
# Which packages scripts/deps.sh installs, and whether the tests are configured: running, installing
# and packaging need neither the test nor the lint tools.
DEPS    ?= build
TESTING ?= OFF
test bench: DEPS = test
test bench: TESTING = ON

.PHONY: deps configure build run test bench sanitize fuzz clean install package

deps:
	@scripts/deps.sh $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=$(TESTING) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Builds only the window and the simulator it starts.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target orvane orvane-modsim
	@scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j $(JOBS)

# PREFIX=/usr/local by default; DESTDIR stages the files for a package or a check.
install: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED_TARGETS)
	@DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX) --strip

# A .deb in $(BUILD), installing under /usr.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(INSTALLED_TARGETS)
	@cd $(BUILD) && cpack -G DEB

bench: build
	@scripts/bench.sh $(BUILD)

# ASan+UBSan over every test; TSan over the serial link's tests (no GUI in that build).
sanitize fuzz: DEPS = dev
sanitize: deps
	@cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  ctest --output-on-failure --timeout 600 -j $(JOBS)
	@cmake -S . -B $(BUILD)-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_GUI=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
	@cmake --build $(BUILD)-tsan -j $(JOBS)
	@cd $(BUILD)-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/scripts/tsan.supp" \
	  ctest --output-on-failure --timeout 600 -j $(JOBS)

fuzz: deps
	@cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DORVANE_PROTOCOL_ONLY=ON -DORVANE_GUI=OFF -DBUILD_TESTING=OFF -DORVANE_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz_assembler fuzz_telnet
	@mkdir -p $(BUILD)-fuzz/corpus $(BUILD)-fuzz/corpus-telnet
# FUZZ_SECONDS is shared between the two targets; each runs at least a second (0 would mean no limit).
	@half=$$(( ($${FUZZ_SECONDS:-30} + 1) / 2 )); \
	  $(BUILD)-fuzz/fuzz/fuzz_assembler -max_total_time=$$half $(BUILD)-fuzz/corpus fuzz/corpus && \
	  $(BUILD)-fuzz/fuzz/fuzz_telnet -max_total_time=$$half $(BUILD)-fuzz/corpus-telnet fuzz/corpus-telnet

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-fuzz
