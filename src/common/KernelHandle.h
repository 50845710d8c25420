// Kernel objects (files, events, threads, processes) as their owner holds them.
#pragma once

#include <windows.h>

#include "UniqueHandle.h"

namespace pelmora {

// Null means none: a handle from a call that reports failure as INVALID_HANDLE_VALUE (CreateFile)
// is taken through OwnKernelHandle.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

inline KernelHandle OwnKernelHandle(HANDLE handle) noexcept {
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace pelmora
