# Two-command entry points. Every target first installs what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run demo test package windows-installer clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-app $(BUILD)/app/ventrix

demo: build
	scripts/demo $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

# The Windows installer, zip and relink kit, in build-windows/ (see README).
windows-installer:
	VENTRIX_RELEASE_ONLY=1 JOBS=$(JOBS) scripts/test-windows build-windows

clean:
	rm -rf $(BUILD)
