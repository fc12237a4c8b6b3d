# The program builds and works from a checkout whose path holds a dot, a
# space and Japanese, as "C:\Users\Taro Yamada\試験 v1.0\" does on Windows:
# a copy of the tree under such a path is built, and one end-to-end test
# runs with the program built there.
source "$(dirname "$0")/lib.sh"

#
# The build is a step of its own (MOKURE_STEP=build), which needs no desktop
# and so runs beside the other tests; the run step uses what it built.
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
copy="$OUT/試験 v1.0/main"

if [ "${MOKURE_STEP:-}" = build ]; then
    rm -rf "$OUT/試験 v1.0"
    mkdir -p "$copy"
    tar -C "$source_tree" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
    cmake -S "$copy" -B "$copy/build/win" -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || fail "configuring the copy under '$copy' failed"
    cmake --build "$copy/build/win" --target mokure mokure_driver -j "$(nproc)" >"$OUT/any-path-build.log" 2>&1 ||
        fail "building the copy failed: $(tail -n 5 "$OUT/any-path-build.log")"
    echo "ok: the copy under '$copy' is built"
    exit 0
fi

[ -f "$copy/build/win/mokure.exe" ] || fail "no program built under '$copy' (the build step did not run)"
bash "$copy/tests/e2e/open_and_save.sh" "$copy/build/win/mokure.exe" "$copy/build/win/mokure_driver.exe" \
    "$copy/build/e2e" || fail "the end-to-end test failed in the copy"
rm -rf "$OUT/試験 v1.0"
echo "ok: built and saved with a backup under '$copy'"
