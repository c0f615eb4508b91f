#!/usr/bin/env bash
# A project outside the tree builds against the installed library, through its CMake package
# and through pkg-config, and its program runs.
#   OutsideProjectTest.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" 2>&1 || { cat "$scratch/install.log" >&2; fail "cmake --install"; }
cmake -S "$source/examples/library" -B "$scratch/example" -DCMAKE_PREFIX_PATH="$scratch/prefix" >"$scratch/configure.log" 2>&1 \
  || { cat "$scratch/configure.log" >&2; fail "find_package(Vantrel)"; }
cmake --build "$scratch/example" >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log" >&2; fail "building against Vantrel::vantrel"; }
out=$(LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/example/checkout" 2>"$scratch/err") || fail "the example program"
[[ $out == Customer$'\t'Country$'\t'Delivery$'\t'Basket$'\r'* ]] || fail "unexpected suite: $out"
grep -q "^A total of 73 combinations out of 73 " "$scratch/err" || fail "unexpected coverage: $(cat "$scratch/err")"
grep -q "^Japan with Locker cannot occur: the rule on line 2.$" "$scratch/err" || fail "unexpected reason: $(cat "$scratch/err")"

pc=$(PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig" pkg-config --cflags --libs vantrel) || fail "pkg-config vantrel"
g++ -std=c++17 "$source/examples/library/checkout.cpp" $pc -o "$scratch/by-pkg-config" || fail "building with pkg-config's flags"
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/by-pkg-config" >/dev/null 2>&1 || fail "the program pkg-config built"
echo "ok"
