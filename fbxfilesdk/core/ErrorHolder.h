// The last-error record that SDK objects own: a numeric code (-1 for none) and
// a text, taken from the owner's message table unless given explicitly.
#ifndef FBXFILESDK_CORE_ERRORHOLDER_H
#define FBXFILESDK_CORE_ERRORHOLDER_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class ErrorHolder {
public:
    // The table is the owner's (usually static) and is never copied or freed;
    // it must outlive the holder.
    ErrorHolder(const char* const* messages, int messageCount);
    ~ErrorHolder();

    // The text becomes the table's message for code; a null entry gives an
    // invalid text, and a code outside the table an empty one.
    void SetError(int code);
    void SetErrorWithText(int code, const char* text);
    // Replaces only the text.
    void SetErrorText(const char* text);
    void ClearError();

    int GetLastErrorID() const;
    // Never null; an invalid text reads as "".
    const char* GetLastErrorString() const;

private:
    int mLastErrorCode;
    int mMessageCount;
    KString mLastErrorText;
    const char* const* mMessages;
};

}  // namespace fbxsdk_2006_11_1

#endif
