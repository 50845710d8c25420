#include "SettingsLock.h"

#include <windows.h>

#include <utility>

namespace pelmora {
namespace {

// Handles what the window system needs answered now: messages sent to the thread's windows
// (PeekMessage delivers them) and painting. Nothing else is taken from the queue.
void AnswerWindowSystem() {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT)) {
        DispatchMessageW(&message);
    }
}

// Waits for the mutex at most `timeoutMs`, answering the window system meanwhile.
DWORD WaitAnswering(HANDLE mutex, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        AnswerWindowSystem();
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &mutex, left, QS_SENDMESSAGE | QS_PAINT, 0);
        if (result != WAIT_OBJECT_0 + 1) return result;  // the mutex, the time is up, or failed
    }
}

}  // namespace

void SettingsLock::MutexTraits::Close(void* mutex) noexcept {
    CloseHandle(mutex);
}

void SettingsLock::HoldTraits::Close(void* mutex) noexcept {
    ReleaseMutex(mutex);
}

SettingsLock::SettingsLock(unsigned long timeoutMs)
    : mutex_(CreateMutexA(nullptr, FALSE, kSettingsLockName)) {
    if (!mutex_) return;
    const DWORD result = WaitAnswering(mutex_.get(), timeoutMs);
    // An abandoned lock (a copy ended while holding it) is ours now, as a taken one is.
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) hold_.reset(mutex_.get());
}

SettingsLock& SettingsLock::operator=(SettingsLock&& other) noexcept {
    if (this != &other) {
        // Let go of as a lock that ends does: the hold before the handle.
        const SettingsLock released(std::move(*this));
        mutex_ = std::move(other.mutex_);
        hold_ = std::move(other.hold_);
    }
    return *this;
}

}  // namespace pelmora
