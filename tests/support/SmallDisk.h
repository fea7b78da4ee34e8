// A small file system of its own for the tests of a full disk. The full test
// run mounts one per test program (scripts/test.sh, as root) and names their
// parent folder in HOLTER_SMALL_DISKS; without it the tests that need one skip.
#pragma once

#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>

namespace testsupport {

class SmallDisk {
public:
    // The disk for which ("unit", "e2e"), held by this test alone until the
    // object dies (other test processes wait); nullptr when the run has none,
    // with the reason in *whyNot.
    static std::unique_ptr<SmallDisk> Acquire(const std::wstring& which, std::string* whyNot);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // A new empty folder on the disk, ending in "\"; removed with the object.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }
    // Bytes still free on the disk.
    std::uint64_t FreeBytes() const;

private:
    SmallDisk() = default;
    HANDLE lock_ = nullptr;
    std::wstring path_;
};

}  // namespace testsupport
