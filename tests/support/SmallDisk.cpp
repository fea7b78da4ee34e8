#include "support/SmallDisk.h"

#include "support/TestSupport.h"

namespace testsupport {

std::unique_ptr<SmallDisk> SmallDisk::Acquire(const std::wstring& which, std::string* whyNot) {
    std::wstring parent = Env(L"HOLTER_SMALL_DISKS");
    if (parent.empty()) {
        if (whyNot) *whyNot = "no small disk in this run (HOLTER_SMALL_DISKS is unset: scripts/test.sh mounts one "
                              "when it may mount a tmpfs as root)";
        return nullptr;
    }
    std::wstring root = FromUnixPath(parent) + L"\\" + which;
    if (!DirExists(root)) {
        if (whyNot) *whyNot = "the small disk " + ToUtf8(root) + " does not exist";
        return nullptr;
    }
    std::unique_ptr<SmallDisk> disk(new SmallDisk);
    disk->lock_ = CreateMutexW(nullptr, FALSE, (L"HolterSmallDisk-" + which).c_str());
    if (disk->lock_) WaitForSingleObject(disk->lock_, INFINITE);
    disk->path_ = root + L"\\t" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(disk->path_);
    CreateDirectoryW(disk->path_.c_str(), nullptr);
    disk->path_ += L"\\";
    return disk;
}

SmallDisk::~SmallDisk() {
    if (!path_.empty()) RemoveTree(path_.substr(0, path_.size() - 1));
    if (lock_) {
        ReleaseMutex(lock_);
        CloseHandle(lock_);
    }
}

std::uint64_t SmallDisk::FreeBytes() const {
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExW(path_.c_str(), &free, nullptr, nullptr);
    return free.QuadPart;
}

}  // namespace testsupport
