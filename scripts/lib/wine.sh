# Shared by the scripts that run the Windows build under Wine.

# wine_use_prefix DIR: the Wine environment of the prefix in DIR, quiet and without the
# .NET and HTML engines (nothing here needs them, and their installers would stall).
wine_use_prefix() {
    export WINEPREFIX="$1"
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# wine_prefix_create DIR DISPLAY: a fresh prefix in DIR. DISPLAY is "null" (Wine's null
# display driver: windows, message boxes and hooks without an X server) or "x11" (an X
# server such as Xvfb without a window manager).
wine_prefix_create() {
    local dir="$1" display="$2"
    wine_use_prefix "$dir"
    mkdir -p "$dir"
    # "wine32 is missing" and a syswow64 rundll32 error are expected in a 64-bit prefix.
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    case "$display" in
        null)
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
            ;;
        x11)
            # Without a window manager, managed or decorated windows wait for one.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            local f
            for f in marlett tahoma tahomabd; do
                [ -f "/usr/share/wine/fonts/$f.ttf" ] && cp "/usr/share/wine/fonts/$f.ttf" "$dir/drive_c/windows/Fonts/"
            done
            ;;
    esac
    # The display driver is chosen when the server starts.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# wine_host_path WINPATH: the host path of a C: path inside the current prefix.
wine_host_path() {
    local p="${1#[Cc]:}"
    printf '%s/drive_c%s\n' "$WINEPREFIX" "${p//\\//}"
}
