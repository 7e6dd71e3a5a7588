// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace nuvio::test {

// Checks that a news page holds no markup but its own: every "<" starts one of the page's
// own tags, and no link is a script or inline document. Returns what is wrong, or "".
std::string pageInertnessProblem(std::string_view page);

} // namespace nuvio::test
