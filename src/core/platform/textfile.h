// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line, and a line end
// after the last line adds no empty line.
std::vector<std::string> splitLines(std::string_view text);

// Reads a whole file as bytes. Failures carry the text-file messages ("File not found",
// "File access denied", "I/O error %d").
std::string readFileBytes(const std::string& path);

// Reads a whole file as bytes. Failures carry "Cannot open file "%s". %s".
std::string loadFileBytes(const std::string& path);

// Every line followed by CR LF, the last one included.
std::string joinLinesCrLf(const std::vector<std::string>& lines);

bool fileExists(const std::string& path);

} // namespace nuvio
