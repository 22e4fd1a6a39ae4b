#!/usr/bin/env bash
# Layers run one way: platform <- process <- link, plot, export <- shell. A folder includes only
# itself and the folders below it; link, plot and export do not include each other. Names every
# include that breaks this and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case $1 in
    platform) echo 0 ;;
    process) echo 1 ;;
    link | plot | export) echo 2 ;;
    shell) echo 3 ;;
    *) echo 9 ;;
  esac
}

bad=0
while IFS=: read -r file line text; do
  from=$(cut -d/ -f2 <<<"$file")
  to=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$text")
  if [ "$from" != "$to" ] && [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    echo "$file:$line: $from includes $to: $text"
    bad=1
  fi
done < <(grep -nE '^#include "[a-z]+/' src/*/*.cpp src/*/*.h)
[ "$bad" = 0 ] && echo "Layers: every include runs downwards"
exit "$bad"
