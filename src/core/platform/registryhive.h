// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nuvio {

// Value types as the registry numbers them.
enum RegistryType : int {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
    RegUnparsable = -1, // a value line whose data we could not read
};

struct RegistryValue
{
    int type = RegSz;
    std::string data; // the value's bytes; strings without their terminating NUL
};

// A registry hive kept as a REGEDIT4 text file. Lines it does not understand, other keys
// and other values are carried through unchanged, so writing one value never loses
// anything else the file holds.
class RegistryHive
{
public:
    static RegistryHive parse(std::string_view text);
    std::string serialize() const;

    // Key paths and value names compare without regard to ASCII letter case; where a value
    // occurs more than once, the last occurrence counts, as it would on import.
    std::optional<RegistryValue> value(std::string_view keyPath, std::string_view name) const;
    void setValue(std::string_view keyPath, std::string_view name, const RegistryValue& value);
    bool hasKey(std::string_view keyPath) const;

private:
    struct Entry
    {
        enum class Kind { Header, Key, Value, Other } kind = Kind::Other;
        std::vector<std::string> lines; // physical lines as read; empty once changed
        std::string keyPath;            // Key: the path; Value: the key it belongs to
        std::string name;               // Value: its name ("" for the default value "@")
        RegistryValue value;
    };

    static std::string formatValue(const std::string& name, const RegistryValue& value);

    std::vector<Entry> m_entries;
    std::string m_newline = "\n";
};

// The settings key of one hive file, with the operations the settings store needs. Every
// write replaces the file atomically.
class RegistryKey
{
public:
    RegistryKey(std::string hivePath, std::string keyPath);

    // Loads the hive (a missing file is an empty hive) and makes sure its folder exists.
    // False when the file cannot be read or its folder cannot be made.
    bool openOrCreate();

    // Absent and empty values read as ""; a non-empty value of another type than REG_SZ or
    // REG_EXPAND_SZ is "Invalid data type for '%s'". Strings end at their first NUL.
    std::string readString(const std::string& name) const;

    // Stores a REG_SZ value and replaces the hive file; "Failed to set data for '%s'".
    void writeString(const std::string& name, const std::string& text);

private:
    std::string m_hivePath;
    std::string m_keyPath;
    RegistryHive m_hive;
    bool m_open = false;
};

// NUVIO_REGISTRY when set, otherwise $XDG_CONFIG_HOME/nuvio/HKEY_LOCAL_MACHINE.reg
// ($HOME/.config when XDG_CONFIG_HOME is unset).
std::string registryHivePath();

} // namespace nuvio
