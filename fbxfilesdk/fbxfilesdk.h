// Everything a user of the scene SDK needs: include this one header.
#ifndef FBXFILESDK_FBXFILESDK_H
#define FBXFILESDK_FBXFILESDK_H

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KTimeModeInfo.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KSortedStringTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KgeTVector.h>
#include <fbxfilesdk/core/KFile.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/core/KSettingsFile.h>
#include <fbxfilesdk/core/KFbxUserNotification.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/core/KFbxDateTime.h>
#include <fbxfilesdk/core/KFbxOwnedPointer.h>
#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/KMemoryReusePool.h>
#include <fbxfilesdk/core/KIdRangeSet.h>
#include <fbxfilesdk/core/KWorld.h>
#include <fbxfilesdk/core/ListenerList.h>
#include <fbxfilesdk/core/KFbxObjectManager.h>
#include <fbxfilesdk/core/kLibraryBaseProxy.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KMemoryFile.h>
#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/KCrcFile.h>
#include <fbxfilesdk/core/KEncryptedFile.h>
#include <fbxfilesdk/core/KTemporaryFileManager.h>

#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/animation/KFCurveEvent.h>
#include <fbxfilesdk/animation/KFCurveAllocator.h>
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/animation/KFCurveSampling.h>

#endif
