// SPDX-License-Identifier: MIT
#include "core/net/privateaddress.h"

#include "core/platform/asciitext.h"

#include <arpa/inet.h>
#include <cstdint>
#include <netinet/in.h>
#include <string>

namespace nuvio {

namespace {

bool isPrivateIpv4(std::uint32_t address)
{
    const auto in = [address](std::uint32_t network, int bits) {
        const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
        return (address & mask) == network;
    };
    return in(0x00000000, 8) || in(0x0A000000, 8) || in(0x7F000000, 8) || in(0x64400000, 10) ||
           in(0xA9FE0000, 16) || in(0xAC100000, 12) || in(0xC0A80000, 16);
}

bool isPrivateIpv6(const in6_addr& address)
{
    const unsigned char* b = address.s6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&address) || IN6_IS_ADDR_V4COMPAT(&address)) {
        const std::uint32_t v4 = (std::uint32_t{b[12]} << 24) | (std::uint32_t{b[13]} << 16) |
                                 (std::uint32_t{b[14]} << 8) | b[15];
        if (IN6_IS_ADDR_V4MAPPED(&address) || v4 > 1)
            return isPrivateIpv4(v4);
    }
    return IN6_IS_ADDR_LOOPBACK(&address) || IN6_IS_ADDR_UNSPECIFIED(&address) ||
           IN6_IS_ADDR_LINKLOCAL(&address) || IN6_IS_ADDR_SITELOCAL(&address) ||
           (b[0] & 0xFE) == 0xFC; // unique local, fc00::/7
}

} // namespace

bool isPrivateHost(std::string_view host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (!host.empty() && host.back() == '.')
        host.remove_suffix(1); // the root's dot: the same host
    const std::string name = lowerAsciiCopy(host);
    if (name == "localhost" || name.ends_with(".localhost"))
        return true;
    // An IPv6 address may carry a zone ("fe80::1%eth0").
    const std::string address = name.substr(0, name.find('%'));
    if (in6_addr v6{}; ::inet_pton(AF_INET6, address.c_str(), &v6) == 1)
        return isPrivateIpv6(v6);
    // inet_aton reads every form the resolver takes: one to four parts, each decimal,
    // octal or hexadecimal.
    if (in_addr v4{}; ::inet_aton(name.c_str(), &v4) != 0)
        return isPrivateIpv4(ntohl(v4.s_addr));
    return false;
}

} // namespace nuvio
