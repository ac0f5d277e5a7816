# The two commands a newcomer needs: `make run` and `make test`.
# Both install the Debian packages the build needs when they are missing.

BUILD      ?= build
BUILD_SAN  ?= build-sanitize
JOBS       ?= $(shell nproc)
PACKAGES   := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
              qt6-base-dev libsimpleini-dev python3 libvectorscan-dev

.PHONY: all run test test-main test-sanitize deps build build-nogui clean bench

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
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/vesk $(ARGS)

test-main: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The core and vesk-cli without Qt, under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_GUI=OFF -DVESK_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

test: test-main test-sanitize

clean:
	rm -rf $(BUILD) $(BUILD_SAN)

bench: build
	bash bench/run.sh $(BUILD)/app/vesk-cli
