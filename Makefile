# trilo: make demo | make test   (make deps installs what is missing on Debian)
#        make dist: the release files in dist/ (SIGN_CERT=FILE SIGN_KEY=FILE signs the .exe files)
#        make dist-check: two clean `make dist` runs of HEAD must agree byte for byte
SHELL := /bin/bash
BUILD := build
WINE_ROOT := $(CURDIR)/$(BUILD)/wine
WINE_ENV := tools/wine-env $(WINE_ROOT)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

APT_PACKAGES := cmake ninja-build g++ make ccache libgtest-dev libbenchmark-dev \
  clang libclang-rt-14-dev libedit-dev \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
  wine wine64 wine32:i386 xvfb xauth xdotool imagemagick fonts-wine liblnk-utils file python3 locales \
  git dpkg-dev lintian man-db bsdextrautils unzip osslsigncode openssl strace

.PHONY: all deps native win32 win64 release test test-native test-wine test-gui wine-prefix fuzz fuzz-build \
  fuzz-long crash crash-long mutate mutate-long demo bench bench-wine dist dist-check test-dist test-sign test-repro clean

all: native

deps:
	@missing=""; \
	for p in $(APT_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "deps: installing$$missing"; \
	  case "$$missing" in *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || $(SUDO) dpkg --add-architecture i386;; esac; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	else echo "deps: all present"; fi

native:
	cmake --preset native >/dev/null
	cmake --build --preset native

release:
	cmake --preset release >/dev/null
	cmake --build --preset release

win32 win64:
	cmake --preset $@ >/dev/null
	cmake --build --preset $@

# A private Wine prefix inside the build folder (HOME too), made once.
$(WINE_ROOT)/.ready: tools/wine-env
	rm -rf $(WINE_ROOT) && mkdir -p $(WINE_ROOT)/home
	$(WINE_ENV) xvfb-run -a sh -c 'wineboot -i >/dev/null 2>&1 && wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null && wineserver -w'
	touch $@

wine-prefix: $(WINE_ROOT)/.ready

test-native: native
	ctest --test-dir $(BUILD)/native --output-on-failure -j2

# One persistent wineserver for the whole run saves its start-up per program.
# Wine's own services are started here, with their output going nowhere: a
# service started by a test would keep ctest's output pipe open and hang it.
test-wine: win64 win32 wine-prefix
	@file $(BUILD)/win32/tests/trilo_tests.exe | grep -q 'PE32 executable.*Intel 80386' || { echo "win32 build is not PE32 i386"; exit 1; }
	@file $(BUILD)/win64/tests/trilo_tests.exe | grep -q 'PE32+ executable.*x86-64' || { echo "win64 build is not PE32+"; exit 1; }
	$(WINE_ENV) sh -c 'wineserver -p; wine cmd /c exit' </dev/null >/dev/null 2>&1 || true
	status=0; \
	$(WINE_ENV) ctest --test-dir $(BUILD)/win64 -V || status=1; \
	$(WINE_ENV) ctest --test-dir $(BUILD)/win32 -V || status=1; \
	$(WINE_ENV) wineserver -k || true; \
	exit $$status

# Every reader fuzzed for a bounded time each (FUZZ_SECONDS), or for a long
# campaign (fuzz-long: FUZZ_LONG_SECONDS each, 30 minutes in all); a crash,
# a hang or a sanitizer report fails. Each target starts from its seeds in
# fuzz/corpus/ and the files of its kind in examples/, and keeps what it
# finds in build/fuzz/corpus/.
FUZZ_TARGETS := gamedb ini command_line template config shortcut
FUZZ_SECONDS := 10
FUZZ_LONG_SECONDS := 300
FUZZ_OPTS_gamedb := -max_len=16384 -dict=fuzz/gamedb.dict
FUZZ_OPTS_ini := -max_len=8192 -dict=fuzz/ini.dict
FUZZ_OPTS_command_line := -max_len=4096
FUZZ_OPTS_template := -max_len=2048 -dict=fuzz/template.dict
FUZZ_OPTS_config := -max_len=8192 -dict=fuzz/ini.dict
FUZZ_OPTS_shortcut := -max_len=4096
FUZZ_SEEDS_gamedb := examples/sample-game/Season/game.gdb $(wildcard examples/sample-package/*.gdb.txt)
FUZZ_SEEDS_ini := examples/sample-package/conf.ini examples/sample-game/CONFIG.INI \
  examples/sample-game/Save/Driver1/Driver1.PLR
FUZZ_SEEDS_template := $(wildcard examples/sample-package/*.dirs.txt examples/sample-package/*.files.txt)
FUZZ_SEEDS_config := examples/sample-package/conf.ini

fuzz-build:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

fuzz: fuzz-build
	$(MAKE) --no-print-directory $(addprefix fuzz-run-,$(FUZZ_TARGETS)) FUZZ_TIME=$(FUZZ_SECONDS)

fuzz-long: fuzz-build
	nice -n 10 $(MAKE) --no-print-directory $(addprefix fuzz-run-,$(FUZZ_TARGETS)) FUZZ_TIME=$(FUZZ_LONG_SECONDS)

# Not phony: make looks for pattern rules only for real targets.
fuzz-run-%:
	@mkdir -p $(BUILD)/fuzz/corpus/$* $(BUILD)/fuzz/seeds/$*
	@$(if $(FUZZ_SEEDS_$*),cp $(FUZZ_SEEDS_$*) $(BUILD)/fuzz/seeds/$*/)
	@echo "== fuzzing $* for $(FUZZ_TIME) s"
	$(BUILD)/fuzz/fuzz/$*_fuzz -max_total_time=$(FUZZ_TIME) -timeout=10 -print_final_stats=1 $(FUZZ_OPTS_$*) \
	  -artifact_prefix=$(BUILD)/fuzz/$*- $(BUILD)/fuzz/corpus/$* fuzz/corpus/$* $(BUILD)/fuzz/seeds/$* 2>&1 | \
	  grep -vE '^(#[0-9]+\s|"|###|INFO: )' ; exit $${PIPESTATUS[0]}

# The real trilo-setup (sanitizer build) killed at random moments while it
# installs a large package; after each kill every rewritten file must be the
# old or the complete new one, no temporary may be left, and a rerun must
# end as an uninterrupted install. crash-long: 1,000 kills. CRASH_SEED=N
# repeats another campaign.
SETUP := $(BUILD)/native/src/ui/term/trilo-setup
CRASH_KILLS := 50
CRASH_SEED := 20240613
crash: native
	python3 tests/hostile/crash_test.py --setup $(SETUP) --work $(BUILD)/crash --kills $(CRASH_KILLS) \
	  --seed $(CRASH_SEED)

crash-long: native
	nice -n 10 $(MAKE) --no-print-directory crash CRASH_KILLS=1000

# Mutated copies of the sample package installed by the sanitizer build:
# crashes, sanitizer reports, hangs and temporaries left must all be zero.
# mutate-long: 5,000 packages. MUTATE_SEED=N draws other packages.
MUTATE_PACKAGES := 200
MUTATE_SEED := 20240613
mutate: native
	python3 tests/hostile/mutate_test.py --setup $(SETUP) --packages $(MUTATE_PACKAGES) --seed $(MUTATE_SEED)

mutate-long: native
	nice -n 10 $(MAKE) --no-print-directory mutate MUTATE_PACKAGES=5000

# trilo-setup.exe of both builds driven like a person would under Xvfb and
# Wine; screenshots of every dialog go to build/screenshots.
test-gui: win64 win32 wine-prefix
	timeout 1200 xvfb-run -a -s "-screen 0 2048x1536x24" python3 tests/gui/test_gui.py

# The release files, from the i686 build (the zip for Windows, packed by
# packaging/windows/pack_zip.py) and the optimised Linux build (the Debian
# package, packed by CPack); only the programs and what the packages hold are
# built. Both depend on the commit alone; the compiler cache's base folder
# lets the clones of test-repro and dist-check reuse what this build cached. The .exe files are signed before
# they are packed when a certificate is given: SIGN_CERT and SIGN_KEY, or
# SIGN_PKCS12, with SIGN_PASSWORD from the environment and SIGN_TIMESTAMP
# (a time-stamp server's URL) optional; see packaging/sign.sh.
DEB_ARCH = $(shell dpkg --print-architecture)
DIST_VERSION = $(shell sed -n 's/^\#define TRILO_VERSION "\(.*\)"$$/\1/p' $(BUILD)/release/version/trilo_version.h 2>/dev/null)
# The signing script runs in the build folder: relative names are made whole.
override SIGN_CERT := $(if $(SIGN_CERT),$(abspath $(SIGN_CERT)))
override SIGN_KEY := $(if $(SIGN_KEY),$(abspath $(SIGN_KEY)))
override SIGN_PKCS12 := $(if $(SIGN_PKCS12),$(abspath $(SIGN_PKCS12)))
export SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_TIMESTAMP
dist: deps
	cmake --preset win32 >/dev/null
	CCACHE_BASEDIR=$(CURDIR) cmake --build --preset win32 --target trilo-zip
	cmake --preset release >/dev/null
	CCACHE_BASEDIR=$(CURDIR) cmake --build --preset release --target trilo-setup trilo-check trilo-docs
	rm -rf dist $(BUILD)/release/package
	cd $(BUILD)/release && cpack
	mkdir -p dist
	cp $(BUILD)/win32/package/trilo-*-windows-x86.zip $(BUILD)/release/package/trilo_*.deb dist/
	cd dist && sha256sum *.zip *.deb >SHA256SUMS && cat SHA256SUMS

# Reproducible releases: HEAD cloned afresh into two folders of different
# names and depths. dist-check makes the whole `make dist` in each and
# compares SHA256SUMS; test-repro (part of `make test`) builds only the
# Windows programs and the zip, sharing the compiler cache.
dist-check:
	sh tests/dist/repro_test.sh full $(CURDIR) $(CURDIR)/$(BUILD)/repro

test-repro:
	sh tests/dist/repro_test.sh quick $(CURDIR) $(CURDIR)/$(BUILD)/repro

# Authenticode signing with a throwaway certificate made on the spot: the
# signature verifies, and removing it gives back the unsigned program.
test-sign:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target trilo-setup
	sh tests/dist/sign_test.sh $(BUILD)/win32/src/ui/win32/trilo-setup.exe $(CURDIR) $(CURDIR)/$(BUILD)/sign-test

# The files of dist/ as people get them: the Debian package unpacked (never
# installed) and used; the zip unpacked and its trilo-check.exe run under Wine.
test-dist: wine-prefix
	cd dist && sha256sum -c SHA256SUMS
	status=0; \
	sh tests/dist/deb_test.sh dist/trilo_$(DIST_VERSION)_$(DEB_ARCH).deb $(DIST_VERSION) $(CURDIR) $(CURDIR)/$(BUILD)/dist-test/deb || status=1; \
	sh tests/dist/zip_test.sh dist/trilo-$(DIST_VERSION)-windows-x86.zip $(DIST_VERSION) $(CURDIR) $(CURDIR)/$(BUILD)/dist-test/zip $(WINE_ROOT) || status=1; \
	exit $$status

# The prefix comes first: the native tests run a Windows program under Wine too.
# The release files are made once the Windows build is there.
test: deps
	$(MAKE) wine-prefix
	$(MAKE) test-native
	$(MAKE) fuzz
	$(MAKE) crash
	$(MAKE) mutate
	$(MAKE) test-wine
	$(MAKE) dist
	$(MAKE) test-dist
	$(MAKE) test-sign
	$(MAKE) test-repro
	$(MAKE) test-gui

# Installs the sample package into a fresh copy of the sample game and shows what changed.
demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target trilo-setup
	tools/demo.sh $(BUILD)/release/src/ui/term/trilo-setup

# Benchmarks, never part of the tests: the game database's read, merge and
# write against a plain copy; whole installs against cp -r (BENCH_FILES picks
# the sizes); the install window's per-file cost and a replaced file's cost
# under Wine.
BENCH_FILES ?= 1000 10000 100000
bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target gamedb_bench install_bench
	$(BUILD)/release/bench/gamedb_bench
	$(BUILD)/release/bench/install_bench $(BENCH_FILES)

bench-wine: win32 wine-prefix
	xvfb-run -a -s "-screen 0 1024x768x24" $(WINE_ENV) wine $(BUILD)/win32/bench/win_progress_bench.exe 5000
	$(WINE_ENV) wine $(BUILD)/win32/bench/win_replace_bench.exe 2000

clean:
	rm -rf $(BUILD) dist
