// The lock that running copies of the program take around each command's use of the settings
// file. The profile functions rewrite the whole file on every write, truncating it first: a copy
// that reads it meanwhile sees it empty or cut, and its next write puts back only what it saw,
// so the other copy's settings (and every other section) were lost.
#pragma once

#include "UniqueHandle.h"

namespace pelmora {

// The lock's name. One lock for every settings file of every copy in the session: a command
// holds it for a few milliseconds, and one name needs no agreement on how a path is spelt.
inline constexpr const char* kSettingsLockName = "Local\\Pelmora.SettingsFile";

// How long a command waits for another copy's command to end before it gives up.
inline constexpr unsigned long kSettingsLockLimitMs = 5000;

class SettingsLock {
  public:
    // Waits for the other copies' commands to end, at most `timeoutMs`; Held() tells whether the
    // lock was had (a copy that hangs must not stop the others for good). While it waits, the
    // thread's windows keep answering the window system: messages sent to them are handled and
    // they repaint. Input and posted messages stay in the queue until the command has ended, so
    // nothing that the user does meanwhile runs inside the command.
    explicit SettingsLock(unsigned long timeoutMs = kSettingsLockLimitMs);
    SettingsLock(SettingsLock&& other) noexcept = default;
    SettingsLock& operator=(SettingsLock&& other) noexcept;

    // Whether the lock is held (false only after the wait timed out or failed).
    bool Held() const { return static_cast<bool>(hold_); }
    // Whether the lock could be made at all.
    bool Available() const { return static_cast<bool>(mutex_); }

  private:
    // The handles are spelt as what they are, void*, so that this header needs no Windows
    // header: the settings logic built without Windows includes it.
    struct MutexTraits {
        using Handle = void*;
        static void Close(void* mutex) noexcept;  // CloseHandle
    };
    struct HoldTraits {
        using Handle = void*;
        static void Close(void* mutex) noexcept;  // ReleaseMutex
    };

    UniqueHandle<MutexTraits> mutex_;
    UniqueHandle<HoldTraits> hold_;  // the same mutex while it is held; released first
};

}  // namespace pelmora
