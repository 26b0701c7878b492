#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 60) on a copy of its committed
# corpus, one target at a time, one process each. Builds the targets first
# (clang, build-fuzz/) when need be. New inputs stay in the scratch copy, so
# nothing is committed by accident; a finding (crash-*, leak-*, timeout-*,
# oom-*) is copied to fuzz/findings/ and makes the script fail.
#
#   fuzz/run.sh [SECONDS] [TARGET...]      TARGET: page_conversion, block_parser,
#                                          page_colours, image_keys, settings_file,
#                                          page_encoding, utf8_text, alt_text
# Environment: FUZZ_BUILD (build folder), FUZZ_KEEP=1 keeps the scratch copy,
# FUZZ_ARGS extra libFuzzer options.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
seconds="${1:-60}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(page_conversion block_parser page_colours image_keys settings_file
                              page_encoding utf8_text alt_text real_text)
build="${FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DSYLPIC_FUZZ=ON -DSYLPIC_WITH_DIALOG=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null

scratch="$(mktemp -d "${TMPDIR:-/tmp}/sylpic-fuzz-run.XXXXXX")"
[[ "${FUZZ_KEEP:-0}" == 1 ]] || trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Block bytes go up to 5000 and past; pages are cut to 4 KB by their target.
max_len() {
  case "$1" in
    block_parser) echo 5200 ;;
    page_conversion|real_text) echo 4097 ;;
    *) echo 4096 ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  corpus="$scratch/$target"
  mkdir -p "$corpus" "$scratch/artifacts-$target"
  cp "$here/corpus/$target/"* "$corpus/"
  echo "== fuzz_$target for ${seconds}s"
  # One process; -timeout flags a hang, -rss_limit_mb a runaway allocation.
  if ! "$build/fuzz/fuzz_$target" "$corpus" \
      -dict="$here/sylpic.dict" -max_len="$(max_len "$target")" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$scratch/artifacts-$target/" ${FUZZ_ARGS:-} \
      2>"$scratch/$target.log"; then
    failed+=("$target")
  fi
  grep -E '^(stat::|#[0-9]+ *DONE)' "$scratch/$target.log" | sed 's/^/   /' || true
  if compgen -G "$scratch/artifacts-$target/*" >/dev/null; then
    mkdir -p "$here/findings"
    cp "$scratch/artifacts-$target/"* "$here/findings/"
    failed+=("$target")
    tail -n 40 "$scratch/$target.log"
  fi
done

if ((${#failed[@]})); then
  echo "fuzz: findings in: ${failed[*]} (inputs in fuzz/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings"
