#!/usr/bin/env bash
# Builds the portable folder Vorkel/ and packs it as Vorkel-<version>-linux-x86_64.tar.gz.
#   make-portable.sh VORKEL VORKEL_CLI HELP_PAGE VERSION OUT_DIR
# The folder holds both programs, the help page, every shared library they and the Qt platform
# plugins need beyond the base set (base-libraries.txt), the plugins and a qt.conf; every ELF
# file finds its libraries through $ORIGIN. Regular files only: FAT has no symbolic links.
set -euo pipefail

if [[ $# -ne 5 ]]; then
  echo "usage: $0 VORKEL VORKEL_CLI HELP_PAGE VERSION OUT_DIR" >&2
  exit 2
fi
gui=$1 cli=$2 help=$3 version=$4 out=$5
here=$(cd "$(dirname "$0")" && pwd)
base_file="$here/base-libraries.txt"
qt_plugins=${VORKEL_QT_PLUGINS:-/usr/lib/x86_64-linux-gnu/qt6/plugins}

for tool in patchelf ldd strip tar; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (make portable installs it)" >&2; exit 1; }
done
[[ -d "$qt_plugins/platforms" ]] || { echo "$0: no Qt plugins in $qt_plugins" >&2; exit 1; }

mapfile -t base < <(grep -vE '^[[:space:]]*(#|$)' "$base_file")
is_base() {
  local name=$1 pattern
  for pattern in "${base[@]}"; do [[ $name =~ $pattern ]] && return 0; done
  return 1
}

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
dir="$stage/Vorkel"
mkdir -p "$dir/lib" "$dir/plugins"

# ELF files whose dependencies still have to be gathered.
queue=()

install -m 0755 "$gui" "$dir/vorkel"
install -m 0755 "$cli" "$dir/vorkel-cli"
install -m 0644 "$help" "$dir/Vorkel.html"
# Our binaries carry debug information; the folder is for running, not debugging.
strip --strip-unneeded "$dir/vorkel" "$dir/vorkel-cli"
queue+=("$dir/vorkel" "$dir/vorkel-cli")

# The platforms: xcb (X11), wayland where the system has it, offscreen for headless runs; and
# the plugins those load (GL integration for xcb, shells and decorations for wayland, compose
# key input).
plugin_globs=(
  "platforms/libqxcb.so" "platforms/libqoffscreen.so" "platforms/libqminimal.so"
  "platforms/libqwayland-*.so" "xcbglintegrations/*.so" "wayland-shell-integration/*.so"
  "wayland-decoration-client/*.so" "wayland-graphics-integration-client/*.so"
  "platforminputcontexts/libcomposeplatforminputcontextplugin.so"
)
for pattern in "${plugin_globs[@]}"; do
  for file in "$qt_plugins"/$pattern; do
    [[ -f "$file" ]] || continue
    rel=${file#"$qt_plugins"/}
    mkdir -p "$dir/plugins/$(dirname "$rel")"
    install -m 0644 "$file" "$dir/plugins/$rel"
    queue+=("$dir/plugins/$rel")
  done
done
[[ -f "$dir/plugins/platforms/libqxcb.so" ]] || { echo "$0: the xcb platform plugin is missing" >&2; exit 1; }

# Gather dependencies until nothing new turns up. ldd lists the whole closure of each file, so
# one pass over the queue plus the libraries it adds is enough.
declare -A seen=()
while [[ ${#queue[@]} -gt 0 ]]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r name arrow path _; do
    [[ $arrow == "=>" ]] || continue
    if [[ $path == "not" ]]; then
      echo "$0: $(basename "$file") needs $name, which is not installed" >&2
      exit 1
    fi
    is_base "$name" && continue
    [[ -n ${seen[$name]:-} ]] && continue
    seen[$name]=1
    # Under its soname, as the loader asks for it; cp -L copies the file, never the link.
    cp -L "$path" "$dir/lib/$name"
    chmod 0644 "$dir/lib/$name"
    queue+=("$dir/lib/$name")
  done < <(ldd "$file")
done

# Each file looks for its libraries relative to where it lies, wherever the folder is.
patchelf --set-rpath '$ORIGIN/lib' "$dir/vorkel" "$dir/vorkel-cli"
for lib in "$dir"/lib/*.so*; do patchelf --set-rpath '$ORIGIN' "$lib"; done
while IFS= read -r plugin; do
  patchelf --set-rpath '$ORIGIN/../../lib' "$plugin"
done < <(find "$dir/plugins" -type f -name '*.so')

cat > "$dir/qt.conf" <<'CONF'
[Paths]
Prefix = .
Libraries = lib
Plugins = plugins
CONF

if [[ -n $(find "$dir" -type l) ]]; then
  echo "$0: symbolic links in the folder" >&2
  exit 1
fi

tarball="$out/Vorkel-$version-linux-x86_64.tar.gz"
# Fixed owner and order, so the same inputs give the same archive.
tar --sort=name --owner=0 --group=0 --numeric-owner -C "$stage" -czf "$tarball.tmp" Vorkel
mv "$tarball.tmp" "$tarball"
echo "$tarball"
