#include <fbxfilesdk/3dsftk/ToolkitContext3ds.h>

namespace fbxsdk_2006_11_1 {

namespace {

// The context of the innermost scope; null outside every scope.
constinit thread_local ToolkitContext3ds* tCurrent = nullptr;

}  // namespace

ToolkitContext3ds::~ToolkitContext3ds() {
    const ToolkitScope3ds scope(*this);
    CloseAllFiles3ds();
}

ToolkitContext3ds& ToolkitContext3ds::Current() {
    if (tCurrent != nullptr) return *tCurrent;
    // Made on first use, and its files closed when the thread ends.
    thread_local ToolkitContext3ds own;
    return own;
}

ToolkitScope3ds::ToolkitScope3ds(ToolkitContext3ds& context) : mOuter(tCurrent) { tCurrent = &context; }

ToolkitScope3ds::~ToolkitScope3ds() { tCurrent = mOuter; }

}  // namespace fbxsdk_2006_11_1
