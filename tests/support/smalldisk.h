// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nuvio::test {

// A small disk of its own for the test: a tmpfs mounted in a private mount namespace, so
// it needs no cleaning up and touches no other mount. Needs root; available() says
// whether it could be made.
class SmallDisk
{
public:
    explicit SmallDisk(std::size_t kilobytes);
    ~SmallDisk();
    bool available() const { return m_mounted; }
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    // Takes what space is left, so that the next write fails with ENOSPC.
    void fill();
    // Makes the disk read-only, or writable again.
    bool setReadOnly(bool readOnly);

private:
    std::string m_path;
    bool m_mounted = false;
    std::size_t m_kilobytes;
};

} // namespace nuvio::test
