// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio::test {

// A fresh directory under the system's temporary folder, removed with everything in it
// when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    static std::string readFile(const std::string& path);

private:
    std::string m_path;
};

} // namespace nuvio::test
