#!/usr/bin/env bash
# Checks an installation of the ZT330 libraries and programs as a client of them sees it.
#
#   tests/install/check-installed.sh PREFIX                 # cmake --install ... --prefix PREFIX
#   tests/install/check-installed.sh --destdir DIR PREFIX   # DESTDIR=DIR cmake --install ... --prefix PREFIX
#   tests/install/check-installed.sh /usr                   # the installed Debian packages
#
# Builds a C client through pkg-config (zt330sdk.pc), a C++ client through pkg-config (both files) and
# a CMake project through find_package(ZT330 CONFIG), runs them, compares the libraries' exported names
# with the symbols files in debian/, reads sonames and RUNPATHs, and starts the installed programs.
# One line per check; the last line is "install: N passed, N failed". Exit status 0 when all passed.
set -uo pipefail

destdir=
if [ "${1:-}" = --destdir ]; then destdir=$2; shift 2; fi
if [ $# -ne 1 ]; then
    echo "usage: $0 [--destdir DIR] PREFIX" >&2
    exit 2
fi
prefix=$1
root=$destdir$prefix
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$(sed -nE 's/^project\(ZT330 VERSION ([0-9.]+).*/\1/p' "$source_dir/CMakeLists.txt")
system_install=0
[ -z "$destdir" ] && [ "$prefix" = /usr ] && system_install=1

work=$(mktemp -d "${TMPDIR:-/tmp}/zt330 install check.XXXXXX")
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
check() {  # check NAME COMMAND...: runs COMMAND with its output in a log, shown when it fails
    local name=$1 log="$work/log"
    shift
    if "$@" >"$log" 2>&1; then
        echo "ok     $name"
        passed=$((passed + 1))
    else
        echo "FAILED $name"
        sed 's/^/       /' "$log" | tail -n 40
        failed=$((failed + 1))
    fi
}

# The library folder: <prefix>/lib/<triplet> for the packages, <prefix>/lib for a CMake install.
libdir=$root/lib
for candidate in "$root/lib/$(gcc -print-multiarch 2>/dev/null)" "$root/lib64"; do
    [ -e "$candidate/libZT330Sdk.so.1" ] && libdir=$candidate
done

# The client's environment: no scanner port, a hive with one scanner, no bus, no bound tty.
mkdir -p "$work/ports" "$work/sysfs" "$work/runtime"
chmod 700 "$work/runtime"
export ZT_PORT_DIR="$work/ports" ZT_RFCOMM_SYSFS="$work/sysfs" ZT_REGISTRY="$here/one_scanner.reg"
export ZT_DBUS_ADDRESS="unix:path=$work/no-bus" XDG_RUNTIME_DIR="$work/runtime" HOME="$work"
export PKG_CONFIG_PATH="$libdir/pkgconfig"
if [ -n "$destdir" ]; then export PKG_CONFIG_SYSROOT_DIR="$destdir"; fi

files_present() {
    local missing=0 f
    for f in "$@"; do
        if [ ! -e "$f" ]; then echo "missing: $f"; missing=1; fi
    done
    return $missing
}
check "headers and version headers" files_present \
    "$root/include/zt330sdk.h" "$root/include/zt330sdk_version.h" \
    "$root/include/ztdevsearch.h" "$root/include/ztdevsearch_version.h"
check "pkg-config files and CMake packages" files_present \
    "$libdir/pkgconfig/zt330sdk.pc" "$libdir/pkgconfig/ztdevsearch.pc" \
    "$libdir/cmake/ZT330/ZT330Config.cmake" "$libdir/cmake/ZT330/ZT330ConfigVersion.cmake" \
    "$libdir/cmake/ZT330/ZT330Targets.cmake" "$libdir/cmake/ZTDevSearch/ZTDevSearchConfig.cmake"

# The installed files, relative to the prefix: from dpkg for the packages, from the folder otherwise.
installed_files() {
    if [ $system_install = 1 ]; then
        dpkg -L libzt330sdk1 libztdevsearch1 libzt330-dev talvoscan zt330-tools |
            while read -r f; do [ -d "$f" ] || echo "${f#/usr/}"; done
    else
        (cd "$root" && find . ! -type d | sed 's|^\./||')
    fi | sort
}
only_expected_files() {  # no static helper library, no test, nothing outside the known folders
    local unexpected
    unexpected=$(installed_files | grep -vxE \
        'bin/(TalvoScan|ztctl|zt-sim|zt-devices)|include/(zt330sdk|zt330sdk_version|ztdevsearch|ztdevsearch_version)\.h|lib/([^/]+/)?(libZT330Sdk|libZTDevSearch)\.so(\.1(\.[0-9]+\.[0-9]+)?)?|lib/([^/]+/)?pkgconfig/(zt330sdk|ztdevsearch)\.pc|lib/([^/]+/)?cmake/(ZT330|ZTDevSearch)/[A-Za-z0-9_-]+\.cmake|share/man/man1/(TalvoScan|ztctl|zt-sim|zt-devices)\.1(\.gz)?|share/applications/org\.zt330\.TalvoScan\.desktop|share/icons/hicolor/scalable/apps/org\.zt330\.TalvoScan\.svg|share/metainfo/org\.zt330\.TalvoScan\.metainfo\.xml|share/doc/.*')
    [ -z "$unexpected" ] || { echo "unexpected files:"; echo "$unexpected"; return 1; }
}
check "only the libraries, headers, package files, programs and their documents" only_expected_files

soname_is() {  # soname_is FILE SONAME
    local soname
    soname=$(readelf -d "$1" | sed -nE 's/.*\(SONAME\).*\[(.*)\]/\1/p')
    echo "$1: soname '$soname'"
    [ "$soname" = "$2" ] && [ "$(readlink -f "$libdir/$2")" = "$(readlink -f "$1")" ]
}
check "libZT330Sdk.so has the soname libZT330Sdk.so.1" soname_is "$libdir/libZT330Sdk.so" libZT330Sdk.so.1
check "libZTDevSearch.so has the soname libZTDevSearch.so.1" soname_is "$libdir/libZTDevSearch.so" libZTDevSearch.so.1

# The names a symbols file lists (mangled, as the dynamic symbol table holds them), one a line.
symbols_file_names() {
    sed -nE 's/^ ([^@ ]+)@Base .*/\1/p' "$1" | LC_ALL=C sort -u
}
exports_match() {  # exports_match LIBRARY SYMBOLS_FILE
    diff <(symbols_file_names "$2") <(nm -D --defined-only "$1" | awk '{print $3}' | LC_ALL=C sort -u) &&
        echo "$(symbols_file_names "$2" | wc -l) names"
}
check "libZT330Sdk exports exactly the names of debian/libzt330sdk1.symbols" \
    exports_match "$libdir/libZT330Sdk.so.1" "$source_dir/debian/libzt330sdk1.symbols"
check "libZTDevSearch exports exactly the names of debian/libztdevsearch1.symbols" \
    exports_match "$libdir/libZTDevSearch.so.1" "$source_dir/debian/libztdevsearch1.symbols"

# Installed programs and libraries never point into a build tree; in a system folder they carry no
# RUNPATH at all, elsewhere only one relative to themselves.
runpaths_sound() {
    local f path bad=0
    for f in "$root"/bin/{TalvoScan,ztctl,zt-sim,zt-devices} "$libdir"/libZT330Sdk.so.1 "$libdir"/libZTDevSearch.so.1; do
        path=$(readelf -d "$f" | sed -nE 's/.*\((RUNPATH|RPATH)\).*\[(.*)\]/\2/p')
        echo "$f: '${path}'"
        if [ -n "$path" ]; then
            if [ $system_install = 1 ]; then bad=1; fi
            tr ':' '\n' <<<"$path" | grep -qv '^\$ORIGIN' && bad=1
        fi
    done
    return $bad
}
check "no build-tree RUNPATH in installed files" runpaths_sound

pc_sound() {  # pc_sound NAME LIB: valid, the version of the headers, -I, -L and -lLIB (also in /usr)
    pkg-config --validate "$1" && pkg-config --print-errors --exists "$1" &&
        [ "$(pkg-config --modversion "$1")" = "$version" ] &&
        pkg-config --keep-system-cflags --cflags "$1" | grep -q -- "-I" &&
        pkg-config --keep-system-libs --libs "$1" | grep -q -- "-L.* -l$2" &&
        echo "$1 $(pkg-config --modversion "$1"): $(pkg-config --cflags --libs "$1")"
}
check "zt330sdk.pc is valid, version $version, -I, -L, -lZT330Sdk" pc_sound zt330sdk ZT330Sdk
check "ztdevsearch.pc is valid, version $version, -I, -L, -lZTDevSearch" pc_sound ztdevsearch ZTDevSearch

# Flags from pkg-config come shell-quoted (a prefix may hold spaces): eval takes them apart.
c_client() {
    eval "cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o \"$work/sdk_consumer_pc\" \"$here/sdk_consumer.c\" \
        $(pkg-config --cflags --libs zt330sdk)" &&
        LD_LIBRARY_PATH="$libdir" "$work/sdk_consumer_pc" "$(pkg-config --modversion zt330sdk)"
}
check "C client built with pkg-config --cflags --libs zt330sdk runs" c_client
cxx_client() {
    eval "c++ -std=c++17 -Wall -Wextra -Werror -o \"$work/devsearch_consumer_pc\" \"$here/devsearch_consumer.cpp\" \
        $(pkg-config --cflags --libs ztdevsearch zt330sdk)" &&
        LD_LIBRARY_PATH="$libdir" "$work/devsearch_consumer_pc" "$(pkg-config --modversion ztdevsearch)"
}
check "C++ client built with pkg-config --cflags --libs ztdevsearch zt330sdk runs" cxx_client

cmake_client() {
    local build="$work/cmake consumer"
    cmake -S "$here/cmake-consumer" -B "$build" -G Ninja -DCMAKE_PREFIX_PATH="$root" \
            -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON &&
        cmake --build "$build" &&
        [ "$(cat "$build/package_version.txt")" = "$version" ] &&
        "$build/sdk_consumer" "$version" && "$build/devsearch_consumer" "$version" &&
        "$build/devsearch_consumer_legacy" "$version"
}
check "CMake project with find_package(ZT330 CONFIG) and both targets builds and runs" cmake_client

talvoscan_version() {
    local out
    out=$(QT_QPA_PLATFORM=offscreen "$root/bin/TalvoScan" --version) && echo "$out" && [ "$out" = "TalvoScan $version" ]
}
check "TalvoScan --version" talvoscan_version
help_starts_with_usage() {  # help_starts_with_usage PROGRAM: exit status 0 and a usage text
    "$root/bin/$1" --help >"$work/help" && head -n 2 "$work/help" && head -n 1 "$work/help" | grep -qi "^usage: $1"
}
for tool in ztctl zt-sim zt-devices; do
    check "$tool --help" help_starts_with_usage "$tool"
done

echo "install: $passed passed, $failed failed"
[ "$failed" = 0 ]
