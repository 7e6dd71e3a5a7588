// SPDX-License-Identifier: MIT
#include "core/platform/fieldsplit.h"

namespace nuvio {

namespace {
bool isSkippable(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}
} // namespace

std::vector<std::string> splitFields(std::string_view line, char separator)
{
    if (const auto nul = line.find('\0'); nul != std::string_view::npos)
        line = line.substr(0, nul);
    const auto endsField = [separator](char c) {
        return c == separator || static_cast<unsigned char>(c) <= 32;
    };
    std::vector<std::string> fields;
    std::size_t i = 0;
    const auto skip = [&] {
        while (i < line.size() && isSkippable(line[i]))
            ++i;
    };
    skip();
    while (i < line.size()) {
        std::string field;
        if (line[i] == '"') {
            ++i;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
        } else {
            const std::size_t start = i;
            while (i < line.size() && !endsField(line[i]))
                ++i;
            field.assign(line.substr(start, i - start));
        }
        fields.push_back(std::move(field));
        skip();
        if (i < line.size() && line[i] == separator) {
            if (i + 1 == line.size())
                fields.emplace_back();
            ++i;
            skip();
        }
    }
    return fields;
}

} // namespace nuvio
