#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxArrayCopy.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// Bytes one value of the type takes in a channel; 0 for types without values.
int ValueSize(const KFbxDataType& type) {
    switch (type.GetType()) {
        case eFbxValueBool:
            return 1;
        case eFbxValueInteger:
        case eFbxValueFloat:
            return 4;
        case eFbxValueDouble:
            return 8;
        default:
            return 0;
    }
}

}  // namespace

KFbxLayerElementUserData::KFbxLayerElementUserData(const char* name, int id, const KFbxDataType* dataTypes,
                                                   const char* const* dataNames, int count)
    : KFbxLayerElement(name), mId(id) {
    if (dataTypes == nullptr || count <= 0) {
        return;
    }
    try {
        mChannels.reserve(static_cast<std::size_t>(count));
        for (int j = 0; j < count; ++j) {
            Channel channel;
            channel.mType = dataTypes[j];
            const char* channelName = dataNames != nullptr ? dataNames[j] : nullptr;
            channel.mName = KString(channelName != nullptr ? channelName : "");
            if (const int size = ValueSize(channel.mType); size > 0) {
                channel.mValues = std::make_unique<DynamicArray>(16, size);
            }
            mChannels.push_back(std::move(channel));
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        mChannels.clear();
    }
}

KFbxLayerElementUserData::KFbxLayerElementUserData(const KFbxLayerElementUserData& other)
    : KFbxLayerElement(other.GetName()) {
    if (Assign(other)) {
        SetMappingMode(other.GetMappingMode());
        SetReferenceMode(other.GetReferenceMode());
    }
}

KFbxLayerElementUserData::~KFbxLayerElementUserData() = default;

KFbxLayerElement* KFbxLayerElementUserData::Clone() const {
    auto* copy = new (std::nothrow) KFbxLayerElementUserData(GetName(), 0, nullptr, nullptr, 0);
    if (copy != nullptr && !copy->Assign(*this)) {
        delete copy;
        return nullptr;
    }
    if (copy != nullptr) {
        copy->SetMappingMode(GetMappingMode());
        copy->SetReferenceMode(GetReferenceMode());
    }
    return copy;
}

bool KFbxLayerElementUserData::Assign(const KFbxLayerElementUserData& other) {
    if (&other == this) {
        return true;
    }
    std::vector<Channel> channels;
    try {
        channels.reserve(other.mChannels.size());
        for (const Channel& source : other.mChannels) {
            Channel channel;
            channel.mType = source.mType;
            channel.mName = source.mName;
            if (source.mValues) {
                channel.mValues = std::make_unique<DynamicArray>(16, source.mValues->GetItemSize());
                if (!KFbxCopyDynamicArray(*channel.mValues, *source.mValues)) {
                    return false;
                }
            }
            channels.push_back(std::move(channel));
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    if (!KFbxCopyDynamicArray(GetIndexArray(), other.GetIndexArray())) {
        return false;
    }
    mChannels = std::move(channels);
    mId = other.mId;
    return true;
}

const KFbxLayerElementUserData::Channel* KFbxLayerElementUserData::ChannelAt(int channel) const {
    if (channel < 0 || channel >= GetDirectArrayCount()) {
        return nullptr;
    }
    return &mChannels[static_cast<std::size_t>(channel)];
}

KFbxDataType KFbxLayerElementUserData::GetDataType(int channel) const {
    const Channel* found = ChannelAt(channel);
    return found != nullptr ? found->mType : KFbxDataType();
}

const char* KFbxLayerElementUserData::GetDataName(int channel) const {
    const Channel* found = ChannelAt(channel);
    return found != nullptr ? found->mName.Buffer() : nullptr;
}

DynamicArray* KFbxLayerElementUserData::GetDirectArrayVoid(int channel) {
    const Channel* found = ChannelAt(channel);
    return found != nullptr ? found->mValues.get() : nullptr;
}

const DynamicArray* KFbxLayerElementUserData::GetDirectArrayVoid(int channel) const {
    const Channel* found = ChannelAt(channel);
    return found != nullptr ? found->mValues.get() : nullptr;
}

}  // namespace fbxsdk_2006_11_1
