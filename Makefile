# The two commands of the README: `make demo` and `make test`.
PRESETS := linux win32 win64 linux-asan linux-tsan linux-fuzz

.PHONY: all install-deps build test demo bench install clean $(addprefix build-,$(PRESETS))

all: build

install-deps:
	@scripts/install-deps

$(addprefix build-,$(PRESETS)): build-%: install-deps
	@cmake --preset $* >/dev/null
	@cmake --build --preset $*

build: $(addprefix build-,$(PRESETS))

test: build
	@scripts/run-tests

demo: install-deps build-linux
	@scripts/demo

bench: install-deps build-linux
	@scripts/run-bench

install: build-linux
	@dest=$${VST_PATH:-$$HOME/.vst}; dest=$${dest%%:*}; mkdir -p "$$dest" && \
	  cp build/linux/kz318.so "$$dest/" && echo "installed $$dest/kz318.so"
	@dest=$${LV2_PATH:-$$HOME/.lv2}; dest=$${dest%%:*}; mkdir -p "$$dest/kz318.lv2" && \
	  cp -R build/linux/kz318.lv2/. "$$dest/kz318.lv2/" && echo "installed $$dest/kz318.lv2"
	@dest=$$HOME/.vst3; rm -rf "$$dest/kz318.vst3" && mkdir -p "$$dest" && \
	  cp -R build/linux/kz318.vst3 "$$dest/" && echo "installed $$dest/kz318.vst3"
	@dest=$${PREFIX:-$$HOME/.local}/bin; mkdir -p "$$dest" && \
	  cp build/linux/kz318-live "$$dest/" && echo "installed $$dest/kz318-live"
	@dest=$${CLAP_PATH:-$$HOME/.clap}; dest=$${dest%%:*}; mkdir -p "$$dest" && \
	  cp build/linux/kz318.clap "$$dest/" && echo "installed $$dest/kz318.clap"

clean:
	rm -rf build
