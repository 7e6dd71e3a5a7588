# Shared by the scripts: where things are and how the build is made.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$repo_root/build"

build_nuvio() {
  cmake --preset default -S "$repo_root" >/dev/null
  cmake --build "$build_dir" --parallel "$(nproc)"
}

# The browser views need these under Xvfb, where there is no GPU and we may be root.
export_headless_env() {
  export QTWEBENGINE_DISABLE_SANDBOX=1
  export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
  export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"
}
