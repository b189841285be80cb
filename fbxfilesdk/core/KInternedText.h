// Immutable text held once per process however many holders share it: the
// names and labels of properties, which every object of a class repeats. A
// holder is one pointer; equal texts share one counted block. A block whose
// last holder goes is kept, within a bound, for the next holder of its text,
// so objects made and destroyed one after another do not make their names
// anew. Thread-safe: holders may come and go on any thread.
#ifndef FBXFILESDK_CORE_KINTERNEDTEXT_H
#define FBXFILESDK_CORE_KINTERNEDTEXT_H

#include <cstddef>
#include <iterator>

namespace fbxsdk_2006_11_1 {

class KInternedText {
public:
    // No text: reads as "".
    KInternedText() = default;
    // Null and "" give no text; so does a failed allocation, which is noted
    // as an SDK allocation failure.
    explicit KInternedText(const char* text);
    KInternedText(const KInternedText& other);
    KInternedText(KInternedText&& other) noexcept : mEntry(other.mEntry) { other.mEntry = nullptr; }
    KInternedText& operator=(const KInternedText& other);
    KInternedText& operator=(KInternedText&& other) noexcept;
    // The text may be this holder's own.
    KInternedText& operator=(const char* text);
    // Most holders of names and labels hold no text: they pass by no call.
    ~KInternedText() {
        if (mEntry != nullptr) {
            Release();
        }
    }

    // Never null; stays valid while a holder of the same text lives.
    const char* Get() const;
    bool IsEmpty() const { return mEntry == nullptr; }
    // Equal texts share one block.
    bool operator==(const KInternedText& other) const { return mEntry == other.mEntry; }

    // Distinct texts held process-wide.
    static std::size_t GetPoolSize();
    // Texts no holder has left, kept for their next holder; never more than
    // the held texts or a small floor, whichever is more.
    static std::size_t GetKeptUnheldCount();

    // A class's fixed texts, count of them, the one at index given by
    // textOf(index), interned once and never let go: the objects that share
    // them may outlive the other statics.
    template <class TextOf>
    static const KInternedText* InternForever(std::size_t count, TextOf textOf) {
        auto* interned = new KInternedText[count];
        for (std::size_t index = 0; index < count; ++index) {
            interned[index] = textOf(index);
        }
        return interned;
    }
    // The same for a fixed array of texts, interned on the first call.
    template <const auto& kTexts>
    static const KInternedText* InternedForever() {
        static const KInternedText* const interned =
            InternForever(std::size(kTexts), [](std::size_t index) { return kTexts[index]; });
        return interned;
    }

    struct Entry;

private:
    void Release();

    Entry* mEntry = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
