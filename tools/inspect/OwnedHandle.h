// Kernel handles as inspect.exe holds them.
#pragma once

#include <windows.h>

#include "UniqueHandle.h"

namespace inspect {

// Every call here that opens a handle gives null when it fails (none is CreateFile's kind).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using OwnedHandle = pelmora::UniqueHandle<KernelHandleTraits>;

}  // namespace inspect
