# Front for the two everyday commands:
#   make run   install what is missing, build, start Velmaro
#   make test  install what is missing, build, run every test
# Optional: make build, make deps, make asan-test, make bench, make deb, make install PREFIX=...

BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
PREFIX    ?= /usr/local

.PHONY: all deps build run test asan-test bench deb install clean

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	bash scripts/build.sh $(BUILD_DIR)

run: build
	bash scripts/run.sh $(BUILD_DIR)

test: build
	bash scripts/test.sh $(BUILD_DIR)

asan-test: deps
	bash scripts/build.sh $(ASAN_DIR) -DVELMARO_ASAN=ON
	ASAN_OPTIONS=detect_leaks=1 bash scripts/test.sh $(ASAN_DIR)

bench: build
	bash bench/run.sh $(BUILD_DIR)

# The Debian package: build/velmaro_1.01.00-1_amd64.deb
deb: build
	cd $(BUILD_DIR) && cpack

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
