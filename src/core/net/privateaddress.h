// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace nuvio {

// Whether a URL's host names this machine or a network behind it rather than the
// internet: loopback (127/8, ::1, "localhost" and its subdomains), link-local (169.254/16,
// where clouds answer with their secrets, fe80::/10), private (10/8, 172.16/12, 192.168/16,
// 100.64/10, fc00::/7) and the unspecified 0/8 and ::. Numbers are read the way the
// system's resolver reads them ("0x7f.1", "2130706433", "017700000001" and "127.1" are
// all 127.0.0.1; "::ffff:127.0.0.1" is too). Brackets around an IPv6 address may stay.
// A name that only resolves to such an address is not seen here.
bool isPrivateHost(std::string_view host);

} // namespace nuvio
