#!/usr/bin/env bash
# Installs the library from the build tree into a scratch prefix and builds a program against it,
# once with find_package and once with pkg-config; both must run.
set -euo pipefail
build_dir=$1
source_dir=$2
work=$3
flags=${4:-}

rm -rf "$work"
mkdir -p "$work"
for component in libskiffs0 libskiffs-dev; do
    cmake --install "$build_dir" --prefix "$work/prefix" --component "$component" >> "$work/install.log"
done

cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
    -DCMAKE_CXX_FLAGS="$flags" > "$work/configure.log"
cmake --build "$work/build" > "$work/build.log"
"$work/build/consumer"

export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig:$(ls -d "$work"/prefix/lib/*/pkgconfig 2>/dev/null | head -n1)"
c++ -std=c++17 $flags "$source_dir/main.cpp" $(pkg-config --cflags --libs SkiffS) -Wl,-rpath,"$(pkg-config --variable=libdir SkiffS)" \
    -o "$work/consumer-pc"
"$work/consumer-pc"

# Only the five exports are visible.
exported=$(nm -D --defined-only "$(pkg-config --variable=libdir SkiffS)/libSkiffS.so" | grep -c ' T ' || true)
if [ "$exported" -ne 5 ]; then
    echo "expected 5 exported functions, found $exported"
    nm -D --defined-only "$(pkg-config --variable=libdir SkiffS)/libSkiffS.so" | grep ' T '
    exit 1
fi
readelf -d "$(pkg-config --variable=libdir SkiffS)/libSkiffS.so" | grep -q 'SONAME.*libSkiffS.so.0'
echo "consumer OK"
