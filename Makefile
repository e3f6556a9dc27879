# `make run` and `make test` set up a fresh Debian machine, build and go on; `make` builds.
# The tests drive zentrel under each window manager our users run, so `make test` installs them.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
PREFIX ?= $(HOME)/.local
JOBS ?= $(shell nproc)
WERROR := $(if $(CI),ON,OFF)

BUILD_PACKAGES := cmake ninja-build g++ make pkg-config ccache \
	qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev \
	nlohmann-json3-dev libexpected-dev zlib1g-dev libxcb1-dev libxcb-xkb-dev libxcb-xinput-dev libxkbcommon-dev libxkbcommon-x11-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	libxcb-composite0-dev libxcb-damage0-dev libxcb-xinerama0-dev libxcb-randr0-dev libxcb-shape0-dev libxcb-render0-dev libxcb-shm0-dev libcanberra-dev \
	woff2 fonttools
# clang with its libFuzzer runtime, for the fuzz targets.
FUZZ_PACKAGES := clang libclang-rt-dev
TEST_PACKAGES := clang-format git xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core \
	fonts-noto-color-emoji \
	xclip xcompmgr poppler-utils \
	openbox metacity xfwm4 mutter kwin-x11 kwin-style-breeze xterm zenity dbus-daemon \
	xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils \
	$(FUZZ_PACKAGES)

# The parsers' libFuzzer targets build with clang in a folder of their own; `make fuzz` runs each
# for FUZZ_SECONDS, and `make test` runs each for FUZZ_SMOKE_SECONDS on its seeds.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 15

.PHONY: all build configure deps test-deps fuzz-deps run test fuzz fuzz-build fuzz-smoke install clean

all: build

# Installs only what is missing, so a set-up machine goes straight to the build. npm fetches the
# hand-drawn fonts; Debian's npm package conflicts with a Node.js that brings its own npm.
deps:
	@./cmake/install-missing-packages $(BUILD_PACKAGES)
	@command -v npm >/dev/null || ./cmake/install-missing-packages npm

test-deps: deps
	@./cmake/install-missing-packages $(TEST_PACKAGES)

fuzz-deps: deps
	@./cmake/install-missing-packages $(FUZZ_PACKAGES)

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DZENTREL_WERROR=$(WERROR)

configure: $(BUILD_DIR)/build.ninja

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/app/zentrel

# A scenario that fails is run once more, its first failure printed: the window managers it drives
# answer in their own time, now and then too late on a machine running every scenario at once.
test: test-deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) --repeat until-pass:2
	$(MAKE) fuzz-smoke

$(FUZZ_BUILD_DIR)/build.ninja: | fuzz-deps
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZENTREL_FUZZ=ON

fuzz-build: $(FUZZ_BUILD_DIR)/build.ninja
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)

fuzz: fuzz-build
	./cmake/run-fuzzers $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# A parser that crashes on its own seeds or soon after shows in CI; skipped where clang is missing.
fuzz-smoke:
	@if command -v clang++ >/dev/null; then \
		$(MAKE) fuzz FUZZ_SECONDS=$(FUZZ_SMOKE_SECONDS); \
	else \
		echo "clang++ is missing: fuzz smoke run skipped"; \
	fi

# Installs under PREFIX and makes Zentrel the handler of zentrel:// links.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)
	-update-desktop-database $(PREFIX)/share/applications 2>/dev/null
	-xdg-mime default zentrel.desktop x-scheme-handler/zentrel 2>/dev/null

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_BUILD_DIR)
