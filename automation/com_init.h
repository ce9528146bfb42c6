#pragma once

#include <cstddef>
#include <cstdint>

namespace brenvik {

using HResult = std::int32_t;
constexpr HResult S_OK = 0;
constexpr HResult S_FALSE = 1;

// The thread's automation initialisation, as the platform counts it: every
// successful CoInitialize (S_OK the first time on a thread, S_FALSE when it
// nests) is undone by one CoUninitialize, and an extra CoUninitialize does
// nothing. Objects can be created only on a thread whose count is above zero.
HResult CoInitialize(std::nullptr_t reserved = nullptr);
void CoUninitialize();

// The OLE initialisation of the main thread; it counts as a CoInitialize.
HResult OleInitialize(std::nullptr_t reserved = nullptr);
void OleUninitialize();

// True while the calling thread has initialised automation.
bool IsAutomationInitialized();

}  // namespace brenvik
