# The README's two commands: `make run` and `make test`. Everything else is for developers.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS ?= $(shell nproc)
CMAKE_GEN := -G Ninja

.PHONY: all bootstrap build run test package vsix asan tsan bench fuzz soak clean

all: build

bootstrap:
	@bash scripts/bootstrap.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Runs a conversation of the two sample characters: the window when there is a
# display, otherwise a bounded conversation in the terminal.
run: build
	@bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package: $(PACKAGE_BUILD)/parlevo_VERSION_ARCH.deb, from a build
# folder of its own with the tests off, so only what it packages is built.
package: bootstrap
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLEVO_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

# The VS Code extension as $(BUILD)/parlevo.vsix, its grammar tested first.
# The pinned npm packages (package.json) are installed with the installed
# Node.js's npm into a copy under $(BUILD), so the source tree stays clean.
# Needs the network once; not part of `make test`.
VSIX_STAGE := $(BUILD)/vscode-extension
vsix: bootstrap
	@command -v npm >/dev/null || { echo "make vsix: npm is missing (apt-get install npm)"; exit 1; }
	rm -rf $(VSIX_STAGE)
	mkdir -p $(VSIX_STAGE)
	cp -r editors/vscode/. $(VSIX_STAGE)/
	cp LICENSE $(VSIX_STAGE)/LICENSE
	cd $(VSIX_STAGE) && npm install --no-audit --no-fund --no-package-lock
	cd $(VSIX_STAGE) && npx vscode-tmgrammar-test -g syntaxes/parlevo.tmLanguage.json 'tests/*.parlevo'
	cd $(VSIX_STAGE) && npx vsce package --allow-missing-repository --out ../parlevo.vsix
	@echo "make vsix: $(BUILD)/parlevo.vsix"

asan: bootstrap
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPARLEVO_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Tests that run several threads (one-threaded differential runs, slow under
# ThreadSanitizer and with nothing for it to find, are left out).
tsan: bootstrap
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DPARLEVO_SANITIZE=thread -DPARLEVO_GUI=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS) -R 'Thread|Conversation|Concurren' -E 'SetSearch'
	PARLEVO_SOAK_TURNS=2000 $(TSAN_BUILD)/tests/app_tests --gtest_also_run_disabled_tests --gtest_filter='Soak.*'

# A few minutes of generated characters talking with pauses, ends and restarts:
# memory stays steady, nothing hangs, every state file reads back.
soak: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target app_tests
	$(BUILD)/tests/app_tests --gtest_also_run_disabled_tests --gtest_filter='Soak.*'

bench: bootstrap
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DPARLEVO_BENCH=ON -DPARLEVO_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)

fuzz: bootstrap
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLEVO_FUZZ=ON -DPARLEVO_TESTS=OFF -DPARLEVO_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
