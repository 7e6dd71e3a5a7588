// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio {

// One X display however $DISPLAY spells it: ":51", ":51.0", "unix:51", "localhost:51.1" and
// "/tmp/.X11-unix/X51" all give ":51" (a screen is part of its display, and the local
// host's names are the same host). A remote host's display keeps its host; a text that
// names no display stays as it is.
std::string canonicalX11Display(std::string_view display);

// One Wayland display however $WAYLAND_DISPLAY spells it: a name is a socket in the
// session's runtime folder, so "wayland-0" and "/run/user/1000/wayland-0" are one.
std::string canonicalWaylandDisplay(std::string_view display, std::string_view runtimeFolder);

} // namespace nuvio
