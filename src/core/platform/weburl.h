// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace nuvio {

// Whether the system may be handed `url`: only an http or https address. Anything else
// (smb:, file:, a desktop file) could run or reveal something on the user's machine.
bool isWebUrl(std::string_view url);

} // namespace nuvio
