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

#endif
