#!/usr/bin/env bash
# Sets up SYLPIC on Debian 12 (run as root): installs the packages that are
# missing, builds, and runs one job:
#   example   convert the bundled example page in a scratch folder
#   test      run the whole test suite
#   sanitize  run the test suite built with AddressSanitizer and UBSan
#   clang     run the test suite built with clang
#   fuzz      run every fuzz target briefly on its corpus (FUZZ_SECONDS each,
#             default 20; clang with libFuzzer)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
job="${1:-example}"

packages=(
  build-essential cmake pkg-config
  libfreetype-dev libfontconfig-dev libpng-dev zlib1g-dev libharfbuzz-dev libwoff-dev
  qt6-base-dev qt6-translations-l10n
  fonts-nanum fonts-ipafont-gothic
  googletest libgtest-dev libgif-dev libstb-dev libicu-dev pngcheck imagemagick
  chromium python3 python3-fonttools python3-brotli
  xvfb xauth
  clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build DIR [cmake options...]
  local dir="$1"; shift
  cmake -S "$root" -B "$root/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSYLPIC_WERROR=ON "$@" >/dev/null
  cmake --build "$root/$dir" -j"$jobs"
}

case "$job" in
  example)
    build build
    scratch="$(mktemp -d /tmp/sylpic-example.XXXXXX)"
    cp "$root/res/example/page.htm" "$scratch/"
    cd "$scratch"
    "$root/build/sylpic" page.htm
    echo "Converted in $scratch: page.htm (output), sp_page.htm (source), hanimg/:"
    ls "$scratch/hanimg"
    ;;
  test)
    build build
    ctest --test-dir "$root/build" --output-on-failure -j"$jobs"
    ;;
  clang)
    CXX=clang++ build build-clang
    ctest --test-dir "$root/build-clang" --output-on-failure -j"$jobs"
    ;;
  sanitize)
    build build-sanitize -DSYLPIC_SANITIZE=ON -DSYLPIC_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir "$root/build-sanitize" --output-on-failure -j"$jobs"
    ;;
  fuzz)
    "$root/fuzz/run.sh" "${FUZZ_SECONDS:-20}"
    ;;
  *)
    echo "usage: $0 [example|test|clang|sanitize|fuzz]" >&2
    exit 2
    ;;
esac
