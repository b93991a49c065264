# Valmorand — top-level commands. See README.md.
BUILD   ?= build
JOBS    ?= $(shell nproc)
DEMO    ?= $(CURDIR)/$(BUILD)/demo
STAGE   := $(CURDIR)/$(BUILD)/stage/Valmorand
CMAKE_FLAGS ?=

DEB_PACKAGES := build-essential cmake pkg-config libsqlite3-dev sqlite3 \
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-translations-l10n libgl-dev libgtest-dev \
  googletest libgmock-dev libbenchmark-dev clang-format poppler-utils xvfb xauth xfonts-base \
  fonts-dejavu-core python3-aiosmtpd openssl libpq-dev postgresql \
  pxlib-dev appstream dpkg-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build test bench run demo install package format format-check lint clean

all: build

# Installs the Debian packages the build needs, only when one is missing.
deps:
	@missing=$$(for p in $(DEB_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

# ccache, when the machine has it, speeds up rebuilds; the build never needs it.
CCACHE := $(shell command -v ccache 2>/dev/null)
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE)) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/vm_bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

# A demo company in $(DEMO), with its own settings file; then the desktop.
demo: build
	@if [ ! -d "$(DEMO)/Valmorand/data1" ]; then \
	  mkdir -p "$(DEMO)" && $(STAGE)/bin/valmorand-admin init "$(DEMO)" && \
	  $(STAGE)/bin/valmorand-admin demo "$(DEMO)"; fi
	@printf '[Valmorand]\npgmdrive=$(CURDIR)/$(BUILD)/stage\ndatadrive=$(DEMO)\n' > $(DEMO)/settings.ini.new; \
	  [ -f $(DEMO)/settings.ini ] || mv $(DEMO)/settings.ini.new $(DEMO)/settings.ini; rm -f $(DEMO)/settings.ini.new
	@echo "Demo data root: $(DEMO)/Valmorand/data (settings: $(DEMO)/settings.ini)"

run: demo
	@if [ -x $(STAGE)/bin/deskmain ]; then \
	  if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then echo "No display: starting under Xvfb"; X=xvfb-run; fi; \
	  VALMORAND_SETTINGS=$(DEMO)/settings.ini $$X $(STAGE)/bin/deskmain; \
	else echo "The desktop is not built yet; the demo company is ready in $(DEMO)/Valmorand/data1"; fi

# The installed tree: <PREFIX>/Valmorand/{bin,languages,help}, the launcher
# <PREFIX>/bin/valmorand, its desktop entry, icon, AppStream metadata and the
# manual page of valmorand-admin. DESTDIR stages it elsewhere.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The Debian package, in $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

format: configure
	cmake --build $(BUILD) --target format

format-check: configure
	cmake --build $(BUILD) --target format-check

# Unformatted code fails the lint; clang-tidy runs after it.
lint: format-check
	cmake --build $(BUILD) --target lint

clean:
	rm -rf $(BUILD)
