// The process-wide progress reporter that the readers and writers notify. It
// keeps a title, a status and a cancel request, and shows nothing: the step and
// report operations accept their calls and ignore them.
#ifndef FBXFILESDK_CORE_KPROGRESS_H
#define FBXFILESDK_CORE_KPROGRESS_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/IRegister.h>
#include <fbxfilesdk/core/KString.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class IProgress : public IKObject {
public:
    virtual void* GetInterface(std::uint32_t id, void* argument) = 0;
    virtual void Release() = 0;

    // A pass: Start, SetStepCount, Step (any number of times), Finish.
    virtual bool Start() = 0;
    virtual bool SetStepCount(int count) = 0;
    virtual bool Step() = 0;
    virtual bool Finish() = 0;
    virtual void Report(float percent) = 0;
    virtual void Update(int done, int total) = 0;

    virtual const KString& GetTitle() const = 0;
    virtual const KString& GetStatus() const = 0;
    virtual int GetStep() const = 0;
    // A shared "".
    virtual const char* GetEmptyText() const = 0;

    // No steps, no cancel request.
    virtual void Reset() = 0;
    // Marks the request as seen and tells whether one was made.
    virtual bool TestCancel() = 0;
    virtual bool IsCancelSeen() const = 0;
    virtual void RequestCancel() = 0;

    // Sets the title and empties the status.
    virtual void SetTitle(const KString& title) = 0;
    virtual void SetTitle(const char* title) = 0;
    virtual void ClearTexts() = 0;

protected:
    virtual ~IProgress() = default;
};

class KProgress : public IRegister, public IProgress {
public:
    KProgress();
    ~KProgress() override;
    KProgress(const KProgress&) = delete;
    KProgress& operator=(const KProgress&) = delete;

    // The process-wide reporter, made on the first call; it lives until the
    // process ends unless someone releases it.
    static IProgress* GetGlobal();

    void* GetInterface(std::uint32_t id, void* argument) override;
    void Release() override;

    bool Start() override;
    bool SetStepCount(int count) override;
    bool Step() override;
    bool Finish() override;
    void Report(float percent) override;
    void Update(int done, int total) override;

    const KString& GetTitle() const override;
    const KString& GetStatus() const override;
    int GetStep() const override;
    const char* GetEmptyText() const override;

    void Reset() override;
    bool TestCancel() override;
    bool IsCancelSeen() const override;
    void RequestCancel() override;

    void SetTitle(const KString& title) override;
    void SetTitle(const char* title) override;
    void ClearTexts() override;

private:
    KString mTitle;
    KString mStatus;
    int mStep = 0;
    bool mCancelRequested = false;
    bool mCancelSeen = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
