# Shared by scripts/run and scripts/test.
HV_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages a fresh machine needs to build and run everything here.
HV_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest locales
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick
  pulseaudio pulseaudio-utils fonts-ipafont fonts-liberation
  jlha-utils sox nsis zip)

hv_ensure_packages() {
  local missing=()
  for p in "${HV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

hv_build() {  # hv_build PRESET [targets...]
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}
