#!/usr/bin/env bash
# Checks the README's build instructions as a user meets them: the Windows
# build, install and cpack commands (with the cross toolchain), the zip
# unpacked into an empty folder and the headless demo run from it, and a
# build for another quote host.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
PKG=$ROOT/build/package
TOOLCHAIN=$ROOT/cmake/mingw-w64.cmake

cmake -S "$ROOT" -B "$PKG" -DQUORVANE_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" >/dev/null
cmake --build "$PKG" --config Release -j"$(nproc)" >/dev/null
rm -rf "$PKG/Quorvane" "$PKG"/Quorvane-*-win64.zip
cmake --install "$PKG" --config Release --prefix "$PKG/Quorvane" >/dev/null
(cd "$PKG" && cpack >/dev/null)

zip=$(ls "$PKG"/Quorvane-*-win64.zip)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
for name in Quorvane.exe wget.exe quote_service.exe "Stock List.txt" Donations.txt README.txt TempStocks Stocks; do
    [ -e "$unpacked/$name" ] || { echo "$(basename "$zip") lacks $name" >&2; exit 1; }
done
echo "$(basename "$zip") holds the ready-to-run folder"
"$ROOT/scripts/demo.sh" "$unpacked" "$ROOT/build/package-demo"

# The quote host is a build setting that goes into the download script.
OTHER=$ROOT/build/other-host
cmake -S "$ROOT" -B "$OTHER" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DQUOTE_HOST=quotes.example:8080 >/dev/null
cmake --build "$OTHER" --target Quorvane -j"$(nproc)" >/dev/null
grep -q 'http://quotes.example:8080/d/quotes.csv?s=' "$OTHER/bin/Quorvane.exe" ||
    { echo "QUOTE_HOST did not reach the download script" >&2; exit 1; }
echo "a build for quotes.example:8080 writes that host into Run.bat"
