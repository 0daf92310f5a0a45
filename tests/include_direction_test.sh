#!/usr/bin/env bash
# Folders are layers and includes point down only: base, net, engine, widgets, the
# feature folders, app. Lists every include that points up and fails on any.
#   include_direction_test.sh <source dir>
set -euo pipefail
cd "$1"

rank() {
  case "$1" in
    base) echo 0 ;;
    net) echo 1 ;;
    engine) echo 2 ;;
    widgets) echo 3 ;;
    app) echo 5 ;;
    *) echo 4 ;;
  esac
}

checked=0
upward=0
while IFS= read -r file; do
  from=${file%%/*}
  from_rank=$(rank "$from")
  while IFS= read -r target; do
    to=${target%%/*}
    [ -d "$to" ] || continue
    checked=$((checked + 1))
    if [ "$(rank "$to")" -gt "$from_rank" ]; then
      echo "up: $file includes $target"
      upward=$((upward + 1))
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find base net engine widgets app channels guide radio playback playlist options update game browser about desktop recording \
           packaging resources -name '*.h' -o -name '*.cpp' | sort)

echo "include direction: $checked includes checked, $upward point up"
[ "$upward" -eq 0 ]
