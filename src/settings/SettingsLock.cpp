#include "SettingsLock.h"

#include <windows.h>

#include <utility>

namespace pelmora {
namespace {

// One lock for every settings file of every copy in the session: a command holds it for a few
// milliseconds, and one name needs no agreement on how a path is spelt.
constexpr const char* kMutexName = "Local\\Pelmora.SettingsFile";

}  // namespace

SettingsLock::SettingsLock(unsigned long timeoutMs)
    : mutex_(CreateMutexA(nullptr, FALSE, kMutexName)) {
    if (!mutex_) return;
    const DWORD result = WaitForSingleObject(mutex_, timeoutMs);
    // An abandoned lock (a copy ended while holding it) is ours now, as a taken one is.
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

SettingsLock::~SettingsLock() {
    Release();
}

SettingsLock::SettingsLock(SettingsLock&& other) noexcept
    : mutex_(std::exchange(other.mutex_, nullptr)), held_(std::exchange(other.held_, false)) {}

SettingsLock& SettingsLock::operator=(SettingsLock&& other) noexcept {
    if (this != &other) {
        Release();
        mutex_ = std::exchange(other.mutex_, nullptr);
        held_ = std::exchange(other.held_, false);
    }
    return *this;
}

void SettingsLock::Release() noexcept {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
    mutex_ = nullptr;
    held_ = false;
}

}  // namespace pelmora
