// The curve filters as scene objects: each wrapper is made through the SDK
// manager by its class id, owns one filter and forwards to it. The base
// wrapper owns none and gives neutral answers. The wrappers reach only the
// span, the apply operations and the error; a caller that needs a filter's
// own parameters (tolerances, period, matrices) uses the filter class itself.
#ifndef FBXFILESDK_ANIMATION_KFBXKFCURVEFILTERS_H
#define FBXFILESDK_ANIMATION_KFBXKFCURVEFILTERS_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KTime.h>

#include <memory>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFCurveFilter;
class KFCurveNode;
class KFbxPlug;
class KFbxSdkManager;

class KFbxKFCurveFilters : public KFbxObject {
public:
    // Null until the class is registered.
    static KFbxClassId ClassId;

    // Through the manager's factory by the class id; null without one.
    static KFbxKFCurveFilters* Create(KFbxSdkManager* manager, const char* name);
    // The class's create function: the wrapper with its twin; null when
    // memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxKFCurveFilters(KFbxSdkManager* manager, const char* name);
    ~KFbxKFCurveFilters() override;

    KFbxClassId GetClassId() const override;
    // The owned filter goes first, then the object's own contents.
    void DestroyContents(bool recursive, bool dependents) override;

    // The filter's display name (null without a filter). It hides the
    // object's name, which KFbxObject::GetName still gives.
    virtual const char* GetName() const;
    // Without a filter: the wrapper's own span value, 0, which the setters
    // leave alone.
    virtual KTime& GetStartTime();
    virtual void SetStartTime(KTime start);
    virtual KTime& GetStopTime();
    virtual void SetStopTime(KTime stop);
    // 0 without a filter.
    virtual int GetStartKeyIndex(KFCurve& curve);
    virtual int GetStopKeyIndex(KFCurve& curve);
    // False without a filter.
    virtual bool NeedApply(KFCurve& curve);
    virtual bool NeedApply(KFCurve** curves, int count);
    virtual bool NeedApply(KFCurveNode& node, bool recursive = true);
    virtual bool Apply(KFCurve& curve);
    virtual bool Apply(KFCurve** curves, int count);
    virtual bool Apply(KFCurveNode& node, bool recursive = true);
    virtual void Reset();
    // Without a filter: a holder of the wrapper's own that never records an
    // error (code -1).
    virtual ErrorHolder& GetError();
    virtual int GetLastErrorID() const;
    // Null without a filter.
    virtual const char* GetLastErrorString() const;

    bool HasFilter() const { return mFilter != nullptr; }

protected:
    // The wrapper takes the filter over; a null filter (memory ran out)
    // leaves it with the neutral answers.
    KFbxKFCurveFilters(KFbxSdkManager* manager, const char* name, KFCurveFilter* filter);

private:
    KTime mTime;
    std::unique_ptr<KFCurveFilter> mFilter;
    ErrorHolder mNoError;
};

// The constant key reducer as a scene object.
class KFbxKFCurveFilterConstantKeyReducer : public KFbxKFCurveFilters {
public:
    static KFbxClassId ClassId;
    static KFbxKFCurveFilterConstantKeyReducer* Create(KFbxSdkManager* manager, const char* name);
    // Null when the wrapper or its filter cannot be made.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxKFCurveFilterConstantKeyReducer(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;
};

// The matrix converter as a scene object.
class KFbxKFCurveFilterMatrixConverter : public KFbxKFCurveFilters {
public:
    static KFbxClassId ClassId;
    static KFbxKFCurveFilterMatrixConverter* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxKFCurveFilterMatrixConverter(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;
};

// The resample filter as a scene object.
class KFbxKFCurveFilterResample : public KFbxKFCurveFilters {
public:
    static KFbxClassId ClassId;
    static KFbxKFCurveFilterResample* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxKFCurveFilterResample(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;
};

// The unroll filter as a scene object.
class KFbxKFCurveFilterUnroll : public KFbxKFCurveFilters {
public:
    static KFbxClassId ClassId;
    static KFbxKFCurveFilterUnroll* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);
    KFbxKFCurveFilterUnroll(KFbxSdkManager* manager, const char* name);
    KFbxClassId GetClassId() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
