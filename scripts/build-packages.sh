#!/usr/bin/env bash
# Builds the Debian packages from this checkout with dpkg-buildpackage -b -us -uc (no tests, no
# benchmarks), checks them with lintian (errors fail) and moves the .debs, with the .changes and
# .buildinfo files, from .. into build/packages/. As root it first installs what the build needs.
# ZT_JOBS (default 2) sets the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then scripts/install-deps.sh; fi

# The version has one source, project(VERSION) in CMakeLists.txt; the changelog must follow it.
version=$(sed -nE 's/^project\(ZT330 VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
deb_version=$(dpkg-parsechangelog -SVersion)
if [ "${deb_version%%-*}" != "$version" ]; then
    echo "debian/changelog is at $deb_version, CMakeLists.txt at $version: add a changelog entry" >&2
    exit 1
fi

# ccache: debhelper gives the build a HOME of its own, so the cache is named here. Paths relative to
# the checkout, and the checkout's path in -ffile-prefix-map (which maps it to ".") left out of the
# hash, so that a clone in another folder reuses the objects.
if command -v ccache >/dev/null; then
    CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
    export CCACHE_DIR CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_IGNOREOPTIONS='-ffile-prefix-map=*'
fi
export DEB_BUILD_OPTIONS="parallel=${ZT_JOBS:-2}${DEB_BUILD_OPTIONS:+ $DEB_BUILD_OPTIONS}"

arch=$(dpkg-architecture -qDEB_HOST_ARCH)
changes=../zt330_${deb_version}_${arch}.changes
out=build/packages
rm -rf "$out"
mkdir -p "$out"

dpkg-buildpackage -b -us -uc

# Every file that the .changes names (the .debs, the debug symbol packages, the .buildinfo) goes with it.
files=$(sed -n '/^Files:/,/^[^ ]/{s/^ [0-9a-f]\{32\} [0-9]* [^ ]* [^ ]* //p}' "$changes")
for f in $files; do mv "../$f" "$out/"; done
mv "$changes" "$out/"

lintian --fail-on error "$out/$(basename "$changes")"
echo "packages in $out:"
ls -1 "$out"
