#include "automation/com_init.h"

namespace brenvik {
namespace {
thread_local int initCount = 0;
}

HResult CoInitialize(std::nullptr_t) { return initCount++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
    if (initCount > 0) --initCount;
}

HResult OleInitialize(std::nullptr_t reserved) { return CoInitialize(reserved); }

void OleUninitialize() { CoUninitialize(); }

bool IsAutomationInitialized() { return initCount > 0; }

}  // namespace brenvik
