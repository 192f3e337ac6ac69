# The project's two commands:
#   make run    builds menuhost and the plug-ins and runs the bundled tour over a scratch copy of
#               sample-game/
#   make test   installs what is missing (as root), then builds and tests every configuration of
#               the build matrix; fails when any configuration fails
SHELL := /bin/bash
.DEFAULT_GOAL := help

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PLUGINS := portico sortie
TESTED_PRESETS := native sanitizers linux-i686 windows-x64
DEB_PACKAGES := cmake make g++ g++-multilib mingw-w64 wine64 qemu-user googletest libgtest-dev libgmock-dev

.PHONY: help deps test run build-native $(addprefix test-,$(TESTED_PRESETS)) build-windows-i686 format

help:
	@echo "make run    build menuhost and run the tour on a scratch copy of sample-game/"
	@echo "make test   build and test every configuration (native, sanitizers, linux-i686,"
	@echo "            windows-x64 under Wine; windows-i686 build and export check)"
	@echo "make test-<preset>, make build-windows-i686: one configuration"

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "== installing missing packages: $$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing || exit 1; \
	  else \
	    echo "error: missing Debian packages: $$missing" >&2; \
	    echo "install them with: sudo apt-get install -y $$missing" >&2; exit 1; \
	  fi; \
	fi

test: deps
	@failed=""; \
	for p in $(TESTED_PRESETS); do \
	  echo "== $$p: configure, build, test"; \
	  if $(MAKE) --no-print-directory test-$$p; then echo "== $$p: passed"; else echo "== $$p: FAILED"; failed="$$failed $$p"; fi; \
	done; \
	echo "== windows-i686: build and export check"; \
	if $(MAKE) --no-print-directory build-windows-i686; then echo "== windows-i686: passed"; else echo "== windows-i686: FAILED"; failed="$$failed windows-i686"; fi; \
	if [ -n "$$failed" ]; then echo "== failed configurations:$$failed"; exit 1; fi; \
	echo "== all configurations passed"

$(addprefix test-,$(TESTED_PRESETS)): test-%:
	cmake --preset $* > build-$*.log 2>&1 || { cat build-$*.log; rm -f build-$*.log; exit 1; }
	@rm -f build-$*.log
	cmake --build --preset $* -j $(JOBS)
	ctest --preset $* -j $(JOBS)

build-windows-i686:
	cmake --preset windows-i686 > build-windows-i686.log 2>&1 || { cat build-windows-i686.log; rm -f build-windows-i686.log; exit 1; }
	@rm -f build-windows-i686.log
	cmake --build --preset windows-i686 -j $(JOBS)
	cmake/check-exports.sh build/windows-i686 $(PLUGINS)

build-native:
	@cmake --preset native > /dev/null
	@cmake --build --preset native -j $(JOBS) --target menuhost portico sortie

run: build-native
	@host/tour.sh build/native

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i
