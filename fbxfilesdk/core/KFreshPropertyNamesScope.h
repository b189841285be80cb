// While a class builds its fixed properties on a new object, the names are
// known to be free there: the object's twin then takes each name as given,
// without looking it up among the properties it already has.
#ifndef FBXFILESDK_CORE_KFRESHPROPERTYNAMESSCOPE_H
#define FBXFILESDK_CORE_KFRESHPROPERTYNAMESSCOPE_H

namespace fbxsdk_2006_11_1 {

class KObject;

class KFreshPropertyNamesScope {
public:
    // For the calling thread, until the end of the scope: each interned name
    // that object is given for a new dynamic property is taken as free. The
    // caller vouches that no two of those names are equal and that none is
    // the name of a property the object has. Null covers nothing.
    explicit KFreshPropertyNamesScope(const KObject* object);
    ~KFreshPropertyNamesScope();
    KFreshPropertyNamesScope(const KFreshPropertyNamesScope&) = delete;
    KFreshPropertyNamesScope& operator=(const KFreshPropertyNamesScope&) = delete;

    // True inside a scope for that object on this thread.
    static bool Covers(const KObject* object);

private:
    const KObject* mPrevious;
};

}  // namespace fbxsdk_2006_11_1

#endif
