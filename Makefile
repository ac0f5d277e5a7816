# The two commands a newcomer needs: `make run` and `make test`.
# Both install the Debian packages the build needs when they are missing.

BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_ARM64 ?= build-arm64
JOBS       ?= $(shell nproc)
PACKAGES   := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev python3 \
              libpcre2-dev libvectorscan-dev dpkg-dev appstream desktop-file-utils \
              googletest g++-aarch64-linux-gnu qemu-user-static clang-format

.PHONY: all run test format-check test-main test-sanitize test-arm64 deps deps-arm64 build build-nogui clean bench package

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages; run: sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_WERROR=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/vesk $(ARGS)

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core and vesk-cli without Qt, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_GUI=OFF -DVESK_SANITIZE=ON \
	  -DVESK_WERROR=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The core and vesk-cli without Qt, cross-built for 64-bit ARM (the portable code paths instead of
# the x86 vector code) and tested under qemu-user. The vesk-cli tests start the program itself,
# which an emulated test cannot, so they stay with the native builds; so do the test cases that
# start threads or child processes (NOT_EMULATED in tests/*/CMakeLists.txt), in which qemu-user
# hangs on the CI machine.
# Libraries of the core for the target, as Debian's multiarch packages (name:arm64).
ARM64_PACKAGES := libpcre2-dev:arm64

deps-arm64: deps
	@missing=""; for p in $(ARM64_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    dpkg --add-architecture arm64 && apt-get update -qq && \
	      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages; run: sudo dpkg --add-architecture arm64 && sudo apt-get update && sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

test-arm64: deps-arm64
	cmake -S . -B $(BUILD_ARM64) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DVESK_GUI=OFF
	cmake --build $(BUILD_ARM64) -j $(JOBS)
	cd $(BUILD_ARM64) && ctest --output-on-failure -j $(JOBS)

# Every tracked C++ file as .clang-format lays it out (tools/check-format.sh --fix rewrites them).
format-check: deps
	sh tools/check-format.sh

test: format-check test-main test-sanitize test-arm64

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_ARM64)

# The Debian package, in $(BUILD): vesk_<version>_<arch>.deb (stripped binaries, manual pages,
# desktop entry, AppStream entry, bash completion).
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	bash bench/run.sh $(BUILD)/app/vesk-cli
