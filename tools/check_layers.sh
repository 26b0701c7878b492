#!/usr/bin/env bash
# Checks that no file includes a folder above its own. The layers, lowest
# first: data and res, hangul, imaging, convert, app (app/cli and app/qt are
# part of app). A file may include its own folder and any lower layer.
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
declare -A rank=([data]=0 [res]=0 [hangul]=1 [imaging]=2 [convert]=3 [app]=4)
bad=0
for folder in "${!rank[@]}"; do
  while IFS= read -r -d '' file; do
    while IFS= read -r included; do
      top="${included%%/*}"
      [[ -n "${rank[$top]+set}" ]] || continue
      if [[ "$top" != "$folder" ]] && (( rank[$top] >= rank[$folder] )); then
        echo "${file#"$root"/} includes $included, a layer not below $folder/" >&2
        bad=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done < <(find "$root/$folder" \( -name '*.h' -o -name '*.cpp' \) -print0)
done
if ((bad)); then
  exit 1
fi
echo "layers: every include points down"
