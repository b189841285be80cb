// Everything a user of the scene SDK needs: include this one header.
#ifndef FBXFILESDK_FBXFILESDK_H
#define FBXFILESDK_FBXFILESDK_H

#include <fbxfilesdk/core/SdkAlloc.h>

#endif
