# Shared by the project's scripts: tools, the Windows build, Wine and a display.
# Source it; it sets ROOT, WIN_BUILD, NATIVE_BUILD and the Wine variables.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WIN_BUILD=${WIN_BUILD:-$ROOT/build/win}
NATIVE_BUILD=${NATIVE_BUILD:-$ROOT/build/native}
export WINEPREFIX=${WINEPREFIX:-$WIN_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}  # no Mono or Gecko prompts

# Installs what the build and the tests need, when any of it is missing.
ensure_tools() {
    local need=()
    command -v cmake >/dev/null || need+=(cmake)
    command -v g++ >/dev/null || need+=(g++)
    command -v clang++ >/dev/null || need+=(clang)
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64)
    command -v wine >/dev/null || need+=(wine)
    [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
    command -v Xvfb >/dev/null || need+=(xvfb)
    command -v xwininfo >/dev/null || need+=(x11-utils)
    command -v import >/dev/null || need+=(imagemagick)
    command -v zip >/dev/null || need+=(zip)
    command -v unzip >/dev/null || need+=(unzip)
    [ -f /usr/include/httplib.h ] || need+=(libcpp-httplib-dev)
    [ -d /usr/src/googletest ] || need+=(googletest)
    dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
    if [ ${#need[@]} -gt 0 ]; then
        echo "Installing: ${need[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
    fi
}

# Configures (once) and builds the Windows programs and their tests.
build_windows() {
    if [ ! -f "$WIN_BUILD/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" "$@" >/dev/null
    fi
    cmake --build "$WIN_BUILD" -j"$(nproc)"
}

# A Wine prefix of the build's own, made once. For tests (argument "test"),
# the shell's "open" of a text file runs a harmless command instead of a
# viewer, and windows are not handed to a window manager: without one, Wine
# would wait seconds for each window to be withdrawn.
ensure_prefix() {
    local kind=${1:-run}
    if [ ! -f "$WINEPREFIX/.quorvane-$kind" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1
        wineserver -w
        # A fresh prefix has no program for .txt files: "Donations.txt" opens in Notepad.
        wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
        if [ "$kind" = run ]; then
            wine reg add 'HKCR\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f >/dev/null 2>&1
            wineserver -w
        fi
        if [ "$kind" = test ]; then
            wine reg add 'HKCR\txtfile\shell\open\command' /ve /d 'cmd.exe /c rem %1' /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            wineserver -w
        fi
        touch "$WINEPREFIX/.quorvane-$kind"
    fi
}

# Starts Xvfb on a free display when there is no display; XVFB_PID names it.
XVFB_PID=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && [ "${FORCE_XVFB:-0}" != 1 ]; then return; fi
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

# Keeps one wineserver and Wine's own services up for the whole run: starting
# them per process costs seconds. They are started here, with no output, so
# that they do not hold a test runner's output pipe open.
start_wineserver() {
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Ends every process of our prefix and our Xvfb.
cleanup_wine() {
    wineserver -k 2>/dev/null || true
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
