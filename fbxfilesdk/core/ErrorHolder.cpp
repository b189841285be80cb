#include <fbxfilesdk/core/ErrorHolder.h>

namespace fbxsdk_2006_11_1 {

ErrorHolder::ErrorHolder(const char* const* messages, int messageCount)
    : mLastErrorCode(-1),
      mMessageCount(messages != nullptr && messageCount > 0 ? messageCount : 0),
      mMessages(messages) {}

ErrorHolder::~ErrorHolder() = default;

void ErrorHolder::SetError(int code) {
    mLastErrorCode = code;
    // Owners are meant to pass only codes of their table; one that is not must
    // never read past it.
    if (code < 0 || code >= mMessageCount) {
        mLastErrorText.Clear();
    } else {
        mLastErrorText = mMessages[code];
    }
}

void ErrorHolder::SetErrorWithText(int code, const char* text) {
    mLastErrorCode = code;
    mLastErrorText = text;
}

void ErrorHolder::SetErrorText(const char* text) {
    mLastErrorText = text;
}

void ErrorHolder::ClearError() {
    mLastErrorCode = -1;
    mLastErrorText.Clear();
}

int ErrorHolder::GetLastErrorID() const {
    return mLastErrorCode;
}

const char* ErrorHolder::GetLastErrorString() const {
    return mLastErrorText.Buffer();
}

}  // namespace fbxsdk_2006_11_1
