#!/usr/bin/env bash
# Layers run one way: platform <- process <- link, plot, export <- records <- shell. A folder
# includes only itself and the folders below it; link, plot and export do not include each other.
# Every include counts, however it is written: indented, with <...>, or reaching out with "../".
# Names every include that breaks this and fails. (The build refuses them too: each folder is a
# library that links only the folders below it.)
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case $1 in
    platform) echo 0 ;;
    process) echo 1 ;;
    link | plot | export) echo 2 ;;
    records) echo 3 ;;
    shell) echo 4 ;;
    *) echo 9 ;;
  esac
}

bad=0
while IFS=: read -r file line text; do
  from=$(cut -d/ -f2 <<<"$file")
  path=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]*)[>"].*/\1/' <<<"$text")
  if [[ $path == *../* ]]; then
    echo "$file:$line: reaches out of its folder: $text"
    bad=1
    continue
  fi
  to=${path%%/*}
  [ "$to" = "$path" ] && continue  # a header beside the file, or a system header
  [ "$(rank "$to")" = 9 ] && continue  # not one of the program's folders
  if [ "$from" != "$to" ] && [ "$(rank "$to")" -ge "$(rank "$from")" ]; then
    echo "$file:$line: $from includes $to: $text"
    bad=1
  fi
done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' src/*/*.cpp src/*/*.h)
[ "$bad" = 0 ] && echo "Layers: every include runs downwards"
exit "$bad"
