#!/usr/bin/env bash
# Builds the release add-in inside a Debian 11 root (glibc 2.31 with its own g++ and static C++ runtime), so that
# the module loads on Debian 11, Ubuntu 20.04 and every newer system, checks it and packs it for 1C as
# dist/Veltrano-<version>-linux-x86_64.zip: MANIFEST.XML and the module, whose name carries the version.
#
# Usage: scripts/package.sh [--check]
#   --check  then loads the module taken out of the archive, alone in an empty folder, with the test host built in
#            the same root and runs a short training day on a temporary data folder.
#
# The root is made once with debootstrap from the Debian mirror this machine's apt uses and kept in
# $VELTRANO_BULLSEYE_ROOT (default /var/cache/veltrano/bullseye) together with the build folder; delete it to start
# over. Runs as root or through sudo (debootstrap, chroot and mounts need it).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "Usage: scripts/package.sh [--check]" >&2; exit 2 ;;
esac

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=VELTRANO_BULLSEYE_ROOT "$0" "$@"
fi

scripts/install-deps.sh debootstrap zip unzip binutils util-linux

root="${VELTRANO_BULLSEYE_ROOT:-/var/cache/veltrano/bullseye}"
# What the release build needs inside the root. Everything the module links besides the C library and the desktop
# font libraries is linked in statically, so each of these ships its .a (libzip does not: zip archives go through
# minizip and zlib). GTK 3 and WebKitGTK build the window programs the module carries; they link the desktop's own
# toolkit libraries when they run.
root_packages=(
  g++ make cmake ninja-build ca-certificates pkg-config ccache
  libpugixml-dev libqrcodegencpp-dev libcmark-dev libminizip-dev zlib1g-dev
  libfreetype-dev libfontconfig1-dev
  libgtk-3-dev libwebkit2gtk-4.0-dev
)
# The root is remade when this line changes.
root_stamp="bullseye minbase: ${root_packages[*]}"
allowed_needed=(libc.so.6 libm.so.6 libdl.so.2 libpthread.so.0 librt.so.1 ld-linux-x86-64.so.2
  libfontconfig.so.1 libfreetype.so.6)
max_glibc=2.31

# Runs a command with its output kept aside, shown only when it fails.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

elapsed() { echo "$(($(date +%s) - $1)) s"; }

# Mounts under a root folder, deepest first.
mounts_under() {
  awk -v prefix="$1/" 'index($2 "/", prefix) == 1 { print $2 }' /proc/self/mounts | sort -r
}

unmount_all() {
  local m
  for m in $(mounts_under "$1"); do
    umount -l "$m"
  done
}

# The Debian mirror of this machine's apt sources (the first one that is not a security archive); empty lets
# debootstrap choose its default.
debian_mirror() {
  {
    sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | tr ' ' '\n'
    sed -E -n 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/p' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
  } | grep -E '^https?://' | grep -v -e '-security' | grep -E '/debian/?$' | head -n 1 || true
}

in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# Only one run at a time uses the root; a run killed before its trap leaves mounts and a partial root behind,
# which the next run clears under the lock.
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9
for stale in "$root".partial.* "$root".old.*; do
  [ -e "$stale" ] || continue
  unmount_all "$stale"
  rm -rf --one-file-system "$stale"
done
unmount_all "$root"

partial=""
cleanup() {
  unmount_all "$root"
  if [ -n "$partial" ]; then
    unmount_all "$partial"
    rm -rf --one-file-system "$partial"
  fi
}
trap cleanup EXIT

# The root is built in a temporary folder beside it and renamed into place only when complete.
if [ ! -f "$root/etc/veltrano-root" ] || [ "$(cat "$root/etc/veltrano-root")" != "$root_stamp" ]; then
  started=$(date +%s)
  partial=$(mktemp -d "$root.partial.XXXXXX")
  echo "Making the Debian 11 root in $root (once per machine)"
  mirror=$(debian_mirror)
  quietly nice debootstrap --variant=minbase --include=g++,make,cmake,ninja-build,ca-certificates \
    bullseye "$partial" ${mirror:+"$mirror"}
  mount -t proc proc "$partial/proc"
  quietly chroot "$partial" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
    sh -c 'apt-get update -q && apt-get install -y -q --no-install-recommends "$@" && apt-get clean' \
    sh "${root_packages[@]}"
  umount "$partial/proc"
  echo "$root_stamp" >"$partial/etc/veltrano-root"
  if [ -e "$root" ]; then
    mv "$root" "$root.old.$$"
  fi
  mv "$partial" "$root"
  partial=""
  rm -rf --one-file-system "$root.old.$$"
  echo "Root made in $(elapsed "$started")"
fi

# The source tree is seen read-only inside the root at /src; the build folder stays in the root between runs.
started=$(date +%s)
mkdir -p "$root/src" "$root/build"
mount --bind "$repo" "$root/src"
mount -o remount,bind,ro "$root/src"
mount -t proc proc "$root/proc"
# Compilations are cached in the root, so a fresh checkout of the same sources builds in seconds.
in_root cmake -S /src -B /build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRANO_TESTS=OFF \
  -DVELTRANO_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
targets=(veltrano)
"$check" && targets+=(veltrano-host)
in_root nice cmake --build /build/release -j2 --target "${targets[@]}"
echo "Built in the Debian 11 root in $(elapsed "$started")"
# The module carries its window programs; a root without GTK 3 or WebKitGTK would quietly build a module
# without windows.
for program in veltrano-windows veltrano-help; do
  if [ ! -f "$root/build/release/generated/resources/$program" ]; then
    echo "package: the release module would not carry $program (GTK 3 or WebKitGTK missing in the root)" >&2
    exit 1
  fi
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$root/build/release/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in the build folder" >&2; exit 1; }
module_name="libVeltrano_Linux_x86_64_${version//./_}.so"
stage=$(mktemp -d)
trap 'cleanup; rm -rf "$stage"' EXIT
in_root strip --strip-unneeded -o "/build/release/$module_name" /build/release/src/libVeltrano.so
cp "$root/build/release/$module_name" "$stage/$module_name"

# The module may need nothing newer than glibc 2.31 and no library besides the C library and the font libraries.
glibc=$(objdump -T "$stage/$module_name" | grep -o 'GLIBC_[0-9][0-9.]*' | sed 's/GLIBC_//' | sort -u -V | tail -n 1)
needed=$(readelf -d "$stage/$module_name" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
echo "Highest GLIBC_ symbol version: ${glibc:-none}"
echo "NEEDED: $(echo $needed)"
failed=false
if [ -n "$glibc" ] && [ "$(printf '%s\n%s\n' "$glibc" "$max_glibc" | sort -V | tail -n 1)" != "$max_glibc" ]; then
  echo "package: the module needs GLIBC_$glibc, more than GLIBC_$max_glibc:" >&2
  objdump -T "$stage/$module_name" | grep -E "GLIBC_$glibc" >&2
  failed=true
fi
for library in $needed; do
  if ! printf '%s\n' "${allowed_needed[@]}" | grep -qxF "$library"; then
    echo "package: the module needs $library, which is not allowed" >&2
    failed=true
  fi
done
"$failed" && exit 1

cat >"$stage/MANIFEST.XML" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<bundle xmlns="http://v8.1c.ru/8.2/addin/bundle">
  <component os="Linux" path="$module_name" type="native" arch="x86_64"/>
</bundle>
XML
archive="dist/Veltrano-$version-linux-x86_64.zip"
mkdir -p dist
rm -f "$archive"
(cd "$stage" && zip -q -X "$repo/$archive" MANIFEST.XML "$module_name")
echo "Package: $archive"

"$check" || exit 0

# The module out of the archive, alone in an empty folder, loaded by the test host inside the Debian 11 root.
started=$(date +%s)
smoke=$(mktemp -d "$root/tmp/veltrano-smoke.XXXXXX")
trap 'cleanup; rm -rf "$stage" "$smoke"' EXIT
mkdir "$smoke/module" "$smoke/data"
unzip -q "$archive" "$module_name" -d "$smoke/module"
inside=${smoke#"$root"}
output="$smoke/output.txt"
status=0
in_root /build/release/testhost/veltrano-host --module "$inside/module/$module_name" \
  --data "$inside/data" /src/scenarios/package-smoke.txt >"$output" 2>&1 || status=$?
problems=$(grep -n -e 'returned false' -e 'result false' -e 'AddError' "$output" || true)
if [ "$status" -ne 0 ] || [ -n "$problems" ] || ! grep -q "DriverVersion=\"$version\"" "$output" ||
  ! grep -q '^Done: ' "$output" || [ "$(ls -A "$smoke/module")" != "$module_name" ]; then
  cat "$output" >&2
  echo "package: the training day with the packed module failed (exit code $status)${problems:+:}" >&2
  [ -z "$problems" ] || echo "$problems" >&2
  exit 1
fi
echo "Training day with the packed module inside Debian 11: passed in $(elapsed "$started")"
