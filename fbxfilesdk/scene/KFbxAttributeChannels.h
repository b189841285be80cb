// The channel work that camera and light attributes share: building their
// channels under a take's root curve node, giving them defaults and display
// colours, linking the default take's curves to the attribute's properties
// through the owning node, and taking the channels out again.
#ifndef FBXFILESDK_SCENE_KFBXATTRIBUTECHANNELS_H
#define FBXFILESDK_SCENE_KFBXATTRIBUTECHANNELS_H

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFCurveNode;
class KFbxNode;
class KFbxProperty;
class KFbxTakeNode;

// Whether the take is the default take ("Default"), whose curves mirror the
// attribute's properties.
bool KFbxIsDefaultTake(const KFbxTakeNode& takeNode);

// The curve's default value (as float) and display colour; ignores null.
void KFbxSetChannelDefault(KFCurve* curve, double value, const float (&colour)[3]);

// Links the channel's curve to a component of the property in the node,
// unless that link exists already; ignores a null node, channel or curve.
void KFbxLinkChannel(KFbxNode* node, KFbxProperty& property, int component, const KFCurveNode* channel);

// Deletes, with their curves, the children of the root of the take named by
// the list, each when present.
void KFbxDeleteChannels(KFbxTakeNode& takeNode, const char* const* names, int count);

}  // namespace fbxsdk_2006_11_1

#endif
