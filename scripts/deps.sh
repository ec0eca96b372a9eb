# Installs, with apt-get, the Debian 12 packages Wexon needs that are missing.
# Sourced by run.sh and test.sh; a second run finds everything and installs nothing.

WEXON_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core
    clang libclang-rt-14-dev
    socat hamradio-files trustedqsl libhamlib-utils direwolf iproute2 rtkit
    ccache espeak-ng
    mosquitto mosquitto-clients libmosquitto-dev cwdaemon fldigi
    pulseaudio gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
)

wexon_install_deps() {
    local missing=()
    local p
    for p in "${WEXON_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
