// The user-data layer element: any number of named channels, each with a data
// type and one array of values. Channels of base type bool, integer, float
// and double hold values; channels of any other type hold none.
#ifndef FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTUSERDATA_H
#define FBXFILESDK_GEOMETRY_KFBXLAYERELEMENTUSERDATA_H

#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxLayerElementUserData : public KFbxLayerElement {
public:
    // count channels of the given types; names may be null (all names empty)
    // and a null name is empty. A negative count or null types give none.
    KFbxLayerElementUserData(const char* name, int id, const KFbxDataType* dataTypes, const char* const* dataNames,
                             int count);
    // When memory runs out the copy has no channels.
    KFbxLayerElementUserData(const KFbxLayerElementUserData& other);
    ~KFbxLayerElementUserData() override;

    KFbxLayerElement* Clone() const override;

    // The channels, their values, the id and the index array become copies of
    // the other's; false, unchanged, when memory runs out.
    bool Assign(const KFbxLayerElementUserData& other);

    int GetId() const { return mId; }
    int GetDirectArrayCount() const { return static_cast<int>(mChannels.size()); }
    // The null data type out of range.
    KFbxDataType GetDataType(int channel) const;
    // Null out of range.
    const char* GetDataName(int channel) const;
    // The channel's values (item size 1 for bool, 4 for integer and float, 8
    // for double); null out of range or for a type that holds no values.
    DynamicArray* GetDirectArrayVoid(int channel);
    const DynamicArray* GetDirectArrayVoid(int channel) const;

private:
    struct Channel {
        KFbxDataType mType;
        KString mName;
        std::unique_ptr<DynamicArray> mValues;
    };

    // Null for an index outside the channels.
    const Channel* ChannelAt(int channel) const;

    int mId = 0;
    std::vector<Channel> mChannels;
};

}  // namespace fbxsdk_2006_11_1

#endif
