#!/usr/bin/env bash
# Installs a staged program folder (build/Velkor) into the operator's program folder.
#   bash tools/install-velkor.sh STAGED_FOLDER TARGET_FOLDER
# The programs, reference tables, report project and help pages are replaced by the staged
# ones. Velkor.ini and everything in Data/ (logs, operator settings) and Zaloha/ (backups)
# are the operator's: a file there is only added when the target has none of that name,
# never replaced. The target must lie outside the source tree, so that cleaning or
# rebuilding the sources never touches a log.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "Použití: $0 SESTAVENÁ_SLOŽKA CÍLOVÁ_SLOŽKA" >&2
  exit 2
fi
staged=$(realpath -e -- "$1")
target=$(realpath -m -- "$2")
sources=$(realpath -e -- "$(dirname "$0")/..")

if [ ! -x "$staged/velkor" ] || [ ! -x "$staged/wendra" ]; then
  echo "Ve složce $staged nejsou sestavené programy velkor a wendra." >&2
  exit 1
fi
case "$target/" in
  "$sources"/*)
    echo "Složka programu $target leží ve zdrojových souborech; zvolte složku mimo ně." >&2
    exit 1 ;;
esac

# Copies what the target lacks, file by file, below one folder; nothing is replaced.
copy_missing() {
  local from=$1 to=$2 item
  mkdir -p -- "$to"
  while IFS= read -r -d '' item; do
    mkdir -p -- "$to/$item"
  done < <(cd "$from" && find . -mindepth 1 -type d -print0)
  while IFS= read -r -d '' item; do
    [ -e "$to/$item" ] || [ -L "$to/$item" ] || cp -p -- "$from/$item" "$to/$item"
  done < <(cd "$from" && find . -type f -print0)
}

# Replaces one file or folder of the target by the staged one. The new copy is moved into
# place, so that a running program keeps its old file and never sees half of one.
replace() {
  local name=$1 fresh="$target/.$1.new" old="$target/.$1.old"
  rm -rf -- "$fresh" "$old"
  cp -pR -- "$staged/$name" "$fresh"
  if [ -d "$fresh" ] && [ -e "$target/$name" ]; then
    mv -- "$target/$name" "$old"
  fi
  mv -fT -- "$fresh" "$target/$name"
  rm -rf -- "$old"
}

mkdir -p -- "$target"
shopt -s nullglob dotglob
for path in "$staged"/*; do
  name=$(basename -- "$path")
  case "$name" in
    Data | Zaloha) copy_missing "$path" "$target/$name" ;;
    Velkor.ini) [ -e "$target/$name" ] || cp -p -- "$path" "$target/$name" ;;
    *) replace "$name" ;;
  esac
done
mkdir -p -- "$target/Data" "$target/Zaloha"
