// The lock that running copies of the program take around each command's use of the settings
// file. The profile functions rewrite the whole file on every write, truncating it first: a copy
// that reads it meanwhile sees it empty or cut, and its next write puts back only what it saw,
// so the other copy's settings (and every other section) were lost.
#pragma once

namespace pelmora {

class SettingsLock {
  public:
    // Waits for the other copies' commands to end, at most `timeoutMs`; after that it goes on
    // without the lock (a copy that hangs must not stop the others for good).
    explicit SettingsLock(unsigned long timeoutMs = 5000);
    ~SettingsLock();
    SettingsLock(SettingsLock&& other) noexcept;
    SettingsLock& operator=(SettingsLock&& other) noexcept;
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    // Whether the lock is held (false only after the wait timed out or failed).
    bool Held() const { return held_; }

  private:
    void Release() noexcept;

    void* mutex_ = nullptr;
    bool held_ = false;
};

}  // namespace pelmora
