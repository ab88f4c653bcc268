# Shared by the scripts: package installation and the build presets.
# Sourced, not run.

OSA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export OSA_ROOT
OSA_CACHE=${OSA_CACHE:-$OSA_ROOT/.cache}

# Packages the build and the tests need on Debian 12.
OSA_BUILD_PACKAGES=(
  g++ cmake ninja-build git pkg-config
  qt6-base-dev libgl-dev
  librsvg2-bin imagemagick fonts-dejavu-core fonts-liberation2
  libcups2-dev libusb-1.0-0-dev umockdev libumockdev-dev
)
OSA_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis
)
OSA_FUZZ_PACKAGES=(
  clang libclang-rt-14-dev
)
OSA_TEST_PACKAGES=(
  googletest wine wine64 fonts-wine xvfb xauth
  cups-daemon cups-client
  lintian desktop-file-utils appstream debootstrap
)
# What making the packages needs besides the build (CPack's DEB generator
# computes the dependencies with dpkg-shlibdeps and tells binaries by file).
OSA_PACKAGE_PACKAGES=(
  dpkg-dev file
)

osa_log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

# Installs whatever of the given packages is missing (apt-get, with sudo when
# not root). Nothing is downloaded when everything is there.
osa_ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  osa_log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  # A partial index failure (a mirror mid-sync) must not stop the install.
  "${sudo[@]}" apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# True when this kernel runs 32-bit x86 programs (IA-32 emulation): a
# 96-byte i386 program that exits with 7 is run.
osa_kernel_runs_i386() {
  local probe=$OSA_CACHE/i386-probe
  mkdir -p "$OSA_CACHE"
  if [ ! -x "$probe" ]; then
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'\
'\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00'\
'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x07\x00\x00\x00\xcd\x80' >"$probe.new" &&
      chmod +x "$probe.new" && mv "$probe.new" "$probe"
  fi
  local rc=0
  "$probe" 2>/dev/null || rc=$?
  [ "$rc" -eq 7 ]
}

# True when a 32-bit Wine is installed and this kernel can run it.
osa_have_wine32() {
  local loader
  for loader in /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine; do
    [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1 && return 0
  done
  return 1
}

# Installs the 32-bit Wine (wine32:i386, from the i386 architecture) where
# the kernel runs i386 programs. Where it does not, nothing is installed:
# there an installed wine32 stops the `wine` command for 64-bit programs too.
osa_ensure_wine32() {
  osa_have_wine32 && return 0
  if ! osa_kernel_runs_i386; then
    osa_log "this kernel runs no 32-bit x86 programs: no 32-bit Wine"
    return 0
  fi
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    osa_log "adding the i386 architecture for the 32-bit Wine"
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  osa_log "installing: wine32:i386"
  "${sudo[@]}" apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    wine32:i386
}

# Configures (once) and builds one preset.
osa_build() {
  local preset=$1
  shift
  cmake --preset "$preset" -S "$OSA_ROOT" >/dev/null || return 1
  cmake --build --preset "$preset" "$@"
}

# A Wine prefix of the project's own, made once and made again when missing.
# With a scale in per cent, a prefix of its own whose screen has that scale
# (LogPixels = 96 * scale / 100), so that the others keep 96 dpi.
osa_wine_prefix() {
  local scale=${1:-100}
  export WINEPREFIX=$OSA_CACHE/wine
  if [ "$scale" != 100 ]; then WINEPREFIX=$OSA_CACHE/wine-$scale; fi
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    osa_log "making the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager (Xvfb), managed windows make Wine wait about
    # two seconds at every hide and destroy; unmanaged ones do not.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    if [ "$scale" != 100 ]; then
      local dpi=$((96 * scale / 100)) key
      for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || true
      done
    fi
    wineserver -w || true
  fi
  # A Wine server left from an earlier run keeps the X display it started
  # with; windows cannot be made on a display that has gone away.
  wineserver -k 2>/dev/null || true
}
