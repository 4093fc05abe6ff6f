#!/usr/bin/env bash
# Every ELF file in the folder resolves its libraries inside the folder or in the base set,
# finds them through $ORIGIN, and the folder holds no symbolic links.
#   libraries.sh UNPACKED BASE_LIST
source "$(dirname "$0")/common.sh"
base_file=$2
dir="$unpacked/Vorkel"
mapfile -t base < <(grep -vE '^[[:space:]]*(#|$)' "$base_file")

for f in vorkel vorkel-cli Vorkel.html qt.conf plugins/platforms/libqxcb.so \
         plugins/platforms/libqoffscreen.so; do
  [[ -f "$dir/$f" ]] || fail "$f is missing"
done
links=$(find "$dir" -type l)
[[ -z $links ]] || fail "symbolic links: $links"
grep -qx 'Plugins = plugins' "$dir/qt.conf" || fail "qt.conf does not name the plugins folder"

problems=0
count=0
while IFS= read -r -d '' file; do
  [[ $(head -c 4 "$file" | od -An -c | tr -d ' ') == 177ELF ]] || continue
  count=$((count + 1))
  runpath=$(readelf -d "$file" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  if [[ $runpath != '$ORIGIN'* ]]; then
    echo "${file#"$dir"/}: RUNPATH is '$runpath', not under \$ORIGIN" >&2
    problems=$((problems + 1))
  fi
  while read -r name arrow path _; do
    [[ $arrow == "=>" ]] || continue
    if [[ $path == "not" ]]; then
      echo "${file#"$dir"/}: $name not found" >&2
      problems=$((problems + 1))
      continue
    fi
    [[ $(realpath "$path") == "$dir"/* ]] && continue
    ok=0
    for pattern in "${base[@]}"; do [[ $name =~ $pattern ]] && ok=1 && break; done
    if ((ok == 0)); then
      echo "${file#"$dir"/}: $name comes from $path, outside the folder and the base set" >&2
      problems=$((problems + 1))
    fi
  done < <(ldd "$file")
done < <(find "$dir" -type f -print0)
((count >= 10)) || fail "only $count ELF files found"
((problems == 0)) || fail "$problems library problems"
echo "$count ELF files resolve inside the folder or the base set"
