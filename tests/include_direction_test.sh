#!/usr/bin/env bash
# Folders are layers and includes point down only: base, net, engine, player,
# widgets, the feature folders, app. A feature folder includes only the layers
# below it and itself, unless the README's table "Feature folders that use
# another" names the pair. Lists every include that breaks this and fails on any.
#   include_direction_test.sh <source dir>
set -euo pipefail
cd "$1"

rank() {
  case "$1" in
    base) echo 0 ;;
    net) echo 1 ;;
    engine) echo 2 ;;
    player) echo 3 ;;
    widgets) echo 4 ;;
    app) echo 6 ;;
    *) echo 5 ;;
  esac
}

# "| `guide/` | `lists/`, `channels/` | why |" -> "guide lists", "guide channels"
allowed=$(sed -n '/^Feature folders that use another/,/^$/p;/^| `[a-z]*\/` | `/p' README.md \
  | sed -n 's/^| `\([a-z]*\)\/` | \([^|]*\) |.*/\1 \2/p' \
  | while read -r from uses; do
      for used in $(echo "$uses" | tr -d '`,/'); do echo "$from $used"; done
    done | sort -u)

checked=0
broken=0
while IFS= read -r file; do
  from=${file%%/*}
  from_rank=$(rank "$from")
  while IFS= read -r target; do
    to=${target%%/*}
    [ -d "$to" ] || continue
    checked=$((checked + 1))
    to_rank=$(rank "$to")
    if [ "$to_rank" -gt "$from_rank" ]; then
      echo "up: $file includes $target"
      broken=$((broken + 1))
    elif [ "$to_rank" -eq 5 ] && [ "$from_rank" -eq 5 ] && [ "$to" != "$from" ] \
      && ! grep -qx "$from $to" <<<"$allowed"; then
      echo "across: $file includes $target (not in the README's table)"
      broken=$((broken + 1))
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find . \( -path ./tests -o -path ./bench -o -path ./fuzz -o -path './build*' -o -path ./.git \) -prune \
           -o \( -name '*.h' -o -name '*.cpp' \) -print | sed "s#^\./##" | grep / | sort)

echo "include direction: $checked includes checked, $broken point up or across"
[ "$broken" -eq 0 ]
