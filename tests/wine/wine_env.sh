# Sourced by the Windows-side tests: a Wine prefix of the build tree, made once and reused.
# Usage: . tests/wine/wine_env.sh BUILD_DIR
_wine_build_dir=$(cd "${1:?build directory}" && pwd)
export WINEPREFIX="$_wine_build_dir/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

# Creating a prefix takes several seconds; concurrent tests wait for the first to finish.
_wine_make_prefix() {
    local ready="$WINEPREFIX/.skarvel-ready"
    [ -f "$ready" ] && return 0
    exec 9>"$_wine_build_dir/wine-prefix.lock"
    flock -w 300 9 || { echo "wine_env.sh: the Wine prefix was not made within 300 s by another test" >&2; exit 1; }
    if [ ! -f "$ready" ]; then
        # Bounded, and Wine's output to a file: its helpers outlive these commands.
        timeout 300 wineboot -i >>"$_wine_build_dir/wine-prefix.log" 2>&1
        timeout 120 wineserver -w
        # A virtual desktop of 800 x 600: Wine draws the frame, caption and menu itself.
        timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
        timeout 120 wineserver -w || { echo "wine_env.sh: the new Wine prefix's server did not end in 120 s" >&2; exit 1; }
        touch "$ready"
    fi
    flock -u 9
    exec 9>&-
}
_wine_make_prefix

# One Wine server kept up through a test's several commands, until end_wine_server: left to
# itself it ends a few seconds after the last program, and a command that starts just then finds
# it going away ("wine client error: recvmsg: Connection reset by peer"). A server left by the
# test before is ended first, since wineserver -p starts nothing while one runs.
keep_wine_server() {
    timeout 10 wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -p >/dev/null 2>&1
}
end_wine_server() { timeout 10 wineserver -k >/dev/null 2>&1; }
