// SPDX-License-Identifier: MIT
#include "core/platform/registryhive.h"

#include "core/platform/asciitext.h"
#include "core/platform/atomicfile.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace nuvio {

namespace {

// Reads a quoted string with \\ and \" escapes starting at s[pos] == '"'. Returns the
// position after the closing quote, or npos when the string does not close.
std::size_t readQuoted(std::string_view s, std::size_t pos, std::string& out)
{
    out.clear();
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == '"') {
            return i + 1;
        } else {
            out += s[i];
        }
    }
    return std::string_view::npos;
}

// "aa,bb,..." with blanks and line continuations already removed.
bool parseHexBytes(std::string_view s, std::string& out)
{
    out.clear();
    s = trimBlanks(s);
    if (s.empty())
        return true;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        const int hi = i < s.size() ? hexDigitValue(s[i]) : -1;
        const int lo = i + 1 < s.size() ? hexDigitValue(s[i + 1]) : -1;
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i < s.size()) {
            if (s[i] != ',')
                return false;
            ++i;
        }
    }
    return true;
}

bool parseData(std::string_view data, RegistryValue& value)
{
    data = trimBlanks(data);
    if (!data.empty() && data.front() == '"') {
        std::string text;
        const auto end = readQuoted(data, 0, text);
        if (end == std::string_view::npos || !trimBlanks(data.substr(end)).empty())
            return false;
        value = {RegSz, text};
        return true;
    }
    if (data.substr(0, 6) == "dword:") {
        const auto digits = data.substr(6);
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t number = 0;
        for (const char c : digits) {
            const int d = hexDigitValue(c);
            if (d < 0)
                return false;
            number = number * 16 + static_cast<std::uint32_t>(d);
        }
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
        value = {RegDword, bytes};
        return true;
    }
    if (data.substr(0, 4) == "hex:") {
        value.type = RegBinary;
        return parseHexBytes(data.substr(4), value.data);
    }
    if (data.substr(0, 4) == "hex(") {
        const auto close = data.find("):");
        if (close == std::string_view::npos || close == 4)
            return false;
        int type = 0;
        for (const char c : data.substr(4, close - 4)) {
            const int d = hexDigitValue(c);
            if (d < 0 || type > 0xFFFF)
                return false;
            type = type * 16 + d;
        }
        value.type = type;
        return parseHexBytes(data.substr(close + 2), value.data);
    }
    return false;
}

bool needsHexForm(const std::string& text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
}

std::string escapeQuoted(std::string_view s)
{
    std::string out = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string hexBytes(std::string_view bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += ',';
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

RegistryHive RegistryHive::parse(std::string_view text)
{
    RegistryHive hive;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const auto crlf = text.find("\r\n");
    const auto lf = text.find('\n');
    if (crlf != std::string_view::npos && crlf + 1 == lf)
        hive.m_newline = "\r\n";

    const auto lines = splitLines(text);
    std::string currentKey;
    bool currentKeyValid = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Entry entry;
        entry.lines.push_back(lines[i]);
        const std::string_view line = trimBlanks(lines[i]);

        if (i == 0 &&
            (line.substr(0, 7) == "REGEDIT" || line.substr(0, 23) == "Windows Registry Editor")) {
            entry.kind = Entry::Kind::Header;
        } else if (line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
                   line[1] != '-') {
            entry.kind = Entry::Kind::Key;
            entry.keyPath = std::string(line.substr(1, line.size() - 2));
            currentKey = entry.keyPath;
            currentKeyValid = true;
        } else if (line.size() >= 2 && line.front() == '[') {
            currentKeyValid = false; // a deletion or a broken header: what follows is not ours
            entry.kind = Entry::Kind::Other;
        } else if (currentKeyValid && !line.empty() &&
                   (line.front() == '"' || line.front() == '@')) {
            std::size_t afterName = 0;
            if (line.front() == '@') {
                afterName = 1;
            } else {
                afterName = readQuoted(line, 0, entry.name);
            }
            std::string_view rest = afterName == std::string_view::npos
                                        ? std::string_view{}
                                        : trimBlanks(line.substr(afterName));
            if (rest.empty() || rest.front() != '=') {
                entry.kind = Entry::Kind::Other;
            } else {
                std::string data(rest.substr(1));
                // Hex data may run over several lines, each but the last ending in "\".
                const bool hex = trimBlanks(data).substr(0, 3) == "hex";
                const auto continues = [](std::string_view physical) {
                    physical = trimBlanks(physical);
                    return !physical.empty() && physical.back() == '\\';
                };
                // Whether a line goes on is a matter of that line alone, not of the data so far;
                // a last line that still ends in "\" goes on with nothing.
                while (hex && continues(entry.lines.back())) {
                    auto kept = trimBlanks(data);
                    kept.remove_suffix(1);
                    data = std::string(kept);
                    if (i + 1 >= lines.size())
                        break;
                    ++i;
                    entry.lines.push_back(lines[i]);
                    data += trimBlanks(lines[i]);
                }
                entry.kind = Entry::Kind::Value;
                entry.keyPath = currentKey;
                if (trimBlanks(data) == "-") {
                    entry.kind = Entry::Kind::Other; // a deletion, not a value
                } else if (!parseData(data, entry.value)) {
                    entry.value = {RegUnparsable, std::string(trimBlanks(data))};
                }
            }
        } else {
            entry.kind = Entry::Kind::Other;
        }
        hive.m_entries.push_back(std::move(entry));
    }
    return hive;
}

std::string RegistryHive::formatValue(const std::string& name, const RegistryValue& value)
{
    const std::string left = name.empty() ? "@" : escapeQuoted(name);
    if (value.type == RegSz && !needsHexForm(value.data))
        return left + "=" + escapeQuoted(value.data);
    if (value.type == RegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number =
                (number << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%08x", number);
        return left + "=dword:" + buffer;
    }
    std::string data = value.data;
    if (value.type == RegSz || value.type == RegExpandSz)
        data += '\0';
    if (value.type == RegBinary)
        return left + "=hex:" + hexBytes(data);
    char type[16];
    std::snprintf(type, sizeof type, "%x", static_cast<unsigned>(value.type));
    return left + "=hex(" + type + "):" + hexBytes(data);
}

std::string RegistryHive::serialize() const
{
    std::string out;
    if (m_entries.empty() || m_entries.front().kind != Entry::Kind::Header)
        out += "REGEDIT4" + m_newline + m_newline;
    for (const auto& entry : m_entries) {
        if (entry.lines.empty()) {
            out += entry.kind == Entry::Kind::Key ? "[" + entry.keyPath + "]"
                                                  : formatValue(entry.name, entry.value);
            out += m_newline;
            continue;
        }
        for (const auto& line : entry.lines)
            out += line + m_newline;
    }
    return out;
}

bool RegistryHive::hasKey(std::string_view keyPath) const
{
    for (const auto& entry : m_entries) {
        if (entry.kind == Entry::Kind::Key && equalsIgnoringAsciiCase(entry.keyPath, keyPath))
            return true;
    }
    return false;
}

std::optional<RegistryValue> RegistryHive::value(std::string_view keyPath,
                                                 std::string_view name) const
{
    std::optional<RegistryValue> found;
    for (const auto& entry : m_entries) {
        if (entry.kind == Entry::Kind::Value && equalsIgnoringAsciiCase(entry.keyPath, keyPath) &&
            equalsIgnoringAsciiCase(entry.name, name))
            found = entry.value;
    }
    return found;
}

void RegistryHive::setValue(std::string_view keyPath, std::string_view name,
                            const RegistryValue& value)
{
    // Which key a value belongs to was settled when the file was read; the new value goes
    // where the last one of the same name is, or after the key's last line.
    std::size_t last = m_entries.size();
    std::size_t endOfKey = m_entries.size();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const auto& entry = m_entries[i];
        const bool ours = (entry.kind == Entry::Kind::Key || entry.kind == Entry::Kind::Value) &&
                          equalsIgnoringAsciiCase(entry.keyPath, keyPath);
        if (!ours)
            continue;
        endOfKey = i + 1;
        if (entry.kind == Entry::Kind::Value && equalsIgnoringAsciiCase(entry.name, name))
            last = i;
    }
    if (last < m_entries.size()) {
        m_entries[last].value = value;
        m_entries[last].lines.clear();
        return;
    }
    Entry entry;
    entry.kind = Entry::Kind::Value;
    entry.keyPath = std::string(keyPath);
    entry.name = std::string(name);
    entry.value = value;
    if (endOfKey < m_entries.size() || hasKey(keyPath)) {
        // A last line that ends in "\" would take the new line as its continuation; then
        // the new value goes right after the key's header instead.
        const auto& before = m_entries[endOfKey - 1];
        if (before.kind == Entry::Kind::Value && !before.lines.empty() &&
            !trimBlanks(before.lines.back()).empty() &&
            trimBlanks(before.lines.back()).back() == '\\') {
            for (std::size_t i = 0; i < m_entries.size(); ++i) {
                if (m_entries[i].kind == Entry::Kind::Key &&
                    equalsIgnoringAsciiCase(m_entries[i].keyPath, keyPath))
                    endOfKey = i + 1;
            }
        }
        m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(endOfKey),
                         std::move(entry));
        return;
    }
    if (!m_entries.empty() &&
        !(m_entries.back().kind == Entry::Kind::Other && !m_entries.back().lines.empty() &&
          trimBlanks(m_entries.back().lines[0]).empty())) {
        Entry blank;
        blank.lines.emplace_back();
        m_entries.push_back(std::move(blank));
    }
    Entry key;
    key.kind = Entry::Kind::Key;
    key.keyPath = std::string(keyPath);
    m_entries.push_back(std::move(key));
    m_entries.push_back(std::move(entry));
}

RegistryKey::RegistryKey(std::string hivePath, std::string keyPath)
    : m_hivePath(std::move(hivePath)), m_keyPath(std::move(keyPath))
{}

bool RegistryKey::openOrCreate()
{
    m_open = false;
    std::string text;
    try {
        text = readFileBytes(m_hivePath);
    } catch (const NuvioError&) {
        // A file that is there but cannot be read is not replaced; a link to a file that
        // is not there yet is a hive to create, where the link points.
        std::error_code status;
        if (std::filesystem::exists(m_hivePath, status) || status)
            return false;
        text.clear();
        std::error_code error;
        const auto folder = std::filesystem::path(m_hivePath).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
            std::filesystem::create_directories(folder, error);
            if (error)
                return false;
        }
    }
    m_hive = RegistryHive::parse(text);
    m_open = true;
    return true;
}

std::string RegistryKey::readString(const std::string& name) const
{
    if (!m_open)
        return {};
    const auto found = m_hive.value(m_keyPath, name);
    if (!found || found->data.empty())
        return {};
    if (found->type != RegSz && found->type != RegExpandSz)
        throw errors::invalidDataType(name);
    const auto nul = found->data.find('\0');
    return nul == std::string::npos ? found->data : found->data.substr(0, nul);
}

void RegistryKey::writeString(const std::string& name, const std::string& text)
{
    if (!m_open)
        throw errors::failedToSetData(name);
    RegistryHive changed = m_hive;
    changed.setValue(m_keyPath, name, {RegSz, text});
    try {
        writeFileAtomically(m_hivePath, changed.serialize());
    } catch (const NuvioError&) {
        throw errors::failedToSetData(name);
    }
    m_hive = std::move(changed);
}

std::string registryHivePath()
{
    if (const char* explicitPath = std::getenv("NUVIO_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::string(home) + "/.config";
    else
        config = ".config";
    return config + "/nuvio/HKEY_LOCAL_MACHINE.reg";
}

} // namespace nuvio
