# Shared by the project's scripts: installs Debian packages that are missing, as root, or
# says what to install and stops.

# ensure_packages PACKAGE...
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them with: sudo apt-get install -y ${missing[*]}  (or run this script as root)" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    if [ -z "${ORVANTA_APT_UPDATED:-}" ]; then
        apt-get update -qq
        export ORVANTA_APT_UPDATED=1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
