// Four-character codes of IFF-style chunk and form identifiers, and the
// process-wide constants for the codes the SDK knows. A code packs its four
// characters big-endian, so it compares and sorts as the text reads.
#ifndef FBXFILESDK_CORE_FOURCC_H
#define FBXFILESDK_CORE_FOURCC_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct FourCC {
    constexpr FourCC(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
        : mCode((std::uint32_t{a} << 24) | (std::uint32_t{b} << 16) | (std::uint32_t{c} << 8) |
                std::uint32_t{d}) {}

    std::uint32_t mCode;
};

// Every known code, in the order the SDK defines them: name, then the four
// bytes. A trailing blank belongs to the code ("CAT ", "(c) "); the last five
// are the mask of a three-letter prefix and the prefixes themselves.
#define FBXSDK_FOURCC_LIST(X)                                                                      \
    X(FORM, 'F', 'O', 'R', 'M')                                                                    \
    X(CAT, 'C', 'A', 'T', ' ')                                                                     \
    X(LIST, 'L', 'I', 'S', 'T')                                                                    \
    X(PROP, 'P', 'R', 'O', 'P')                                                                    \
    X(Null, 0, 0, 0, 0)                                                                            \
    X(FOR4, 'F', 'O', 'R', '4')                                                                    \
    X(FOR8, 'F', 'O', 'R', '8')                                                                    \
    X(CAT4, 'C', 'A', 'T', '4')                                                                    \
    X(CAT8, 'C', 'A', 'T', '8')                                                                    \
    X(LIS4, 'L', 'I', 'S', '4')                                                                    \
    X(LIS8, 'L', 'I', 'S', '8')                                                                    \
    X(PRO4, 'P', 'R', 'O', '4')                                                                    \
    X(PRO8, 'P', 'R', 'O', '8')                                                                    \
    X(PATH, 'P', 'A', 'T', 'H')                                                                    \
    X(INCL, 'I', 'N', 'C', 'L')                                                                    \
    X(GEND, 'G', 'E', 'N', 'D')                                                                    \
    X(EOVC, 'E', 'O', 'V', 'C')                                                                    \
    X(AIFF, 'A', 'I', 'F', 'F')                                                                    \
    X(AIFC, 'A', 'I', 'F', 'C')                                                                    \
    X(AUTH, 'A', 'U', 'T', 'H')                                                                    \
    X(NAME, 'N', 'A', 'M', 'E')                                                                    \
    X(Copyright, '(', 'c', ')', ' ')                                                               \
    X(ANNO, 'A', 'N', 'N', 'O')                                                                    \
    X(COMM, 'C', 'O', 'M', 'M')                                                                    \
    X(SSND, 'S', 'S', 'N', 'D')                                                                    \
    X(COMT, 'C', 'O', 'M', 'T')                                                                    \
    X(DATE, 'D', 'A', 'T', 'E')                                                                    \
    X(BODY, 'B', 'O', 'D', 'Y')                                                                    \
    X(FVER, 'F', 'V', 'E', 'R')                                                                    \
    X(FILE, 'F', 'I', 'L', 'E')                                                                    \
    X(DATA, 'D', 'A', 'T', 'A')                                                                    \
    X(MANY, 'M', 'A', 'N', 'Y')                                                                    \
    X(USER, 'U', 'S', 'E', 'R')                                                                    \
    X(WDGT, 'W', 'D', 'G', 'T')                                                                    \
    X(CIMG, 'C', 'I', 'M', 'G')                                                                    \
    X(TBHD, 'T', 'B', 'H', 'D')                                                                    \
    X(FLDS, 'F', 'L', 'D', 'S')                                                                    \
    X(CMAP, 'C', 'M', 'A', 'P')                                                                    \
    X(RAYT, 'R', 'A', 'Y', 'T')                                                                    \
    X(TBMP, 'T', 'B', 'M', 'P')                                                                    \
    X(RGBA, 'R', 'G', 'B', 'A')                                                                    \
    X(ZBUF, 'Z', 'B', 'U', 'F')                                                                    \
    X(ABUF, 'A', 'B', 'U', 'F')                                                                    \
    X(ICON, 'I', 'C', 'O', 'N')                                                                    \
    X(RGB2, 'R', 'G', 'B', '2')                                                                    \
    X(FONT, 'F', 'O', 'N', 'T')                                                                    \
    X(FHDR, 'F', 'H', 'D', 'R')                                                                    \
    X(FCHR, 'F', 'C', 'H', 'R')                                                                    \
    X(MDLF, 'M', 'D', 'L', 'F')                                                                    \
    X(MHDR, 'M', 'H', 'D', 'R')                                                                    \
    X(SGRP, 'S', 'G', 'R', 'P')                                                                    \
    X(PGSH, 'P', 'G', 'S', 'H')                                                                    \
    X(SHEL, 'S', 'H', 'E', 'L')                                                                    \
    X(SHDR, 'S', 'H', 'D', 'R')                                                                    \
    X(VRTX, 'V', 'R', 'T', 'X')                                                                    \
    X(EDGE, 'E', 'D', 'G', 'E')                                                                    \
    X(POLY, 'P', 'O', 'L', 'Y')                                                                    \
    X(CURV, 'C', 'U', 'R', 'V')                                                                    \
    X(SURF, 'S', 'U', 'R', 'F')                                                                    \
    X(TBUF, 'T', 'B', 'U', 'F')                                                                    \
    X(RPBM, 'R', 'P', 'B', 'M')                                                                    \
    X(GPBM, 'G', 'P', 'B', 'M')                                                                    \
    X(BPBM, 'B', 'P', 'B', 'M')                                                                    \
    X(APBM, 'A', 'P', 'B', 'M')                                                                    \
    X(HTXT, 'H', 'T', 'X', 'T')                                                                    \
    X(PATN, 'P', 'A', 'T', 'N')                                                                    \
    X(PBGD, 'P', 'B', 'G', 'D')                                                                    \
    X(PAGE, 'P', 'A', 'G', 'E')                                                                    \
    X(PDEF, 'P', 'D', 'E', 'F')                                                                    \
    X(SHOW, 'S', 'H', 'O', 'W')                                                                    \
    X(STYL, 'S', 'T', 'Y', 'L')                                                                    \
    X(FTXT, 'F', 'T', 'X', 'T')                                                                    \
    X(RECT, 'R', 'E', 'C', 'T')                                                                    \
    X(CIRC, 'C', 'I', 'R', 'C')                                                                    \
    X(CARC, 'C', 'A', 'R', 'C')                                                                    \
    X(RCRV, 'R', 'C', 'R', 'V')                                                                    \
    X(SIMG, 'S', 'I', 'M', 'G')                                                                    \
    X(LINK, 'L', 'I', 'N', 'K')                                                                    \
    X(ASDG, 'A', 'S', 'D', 'G')                                                                    \
    X(PROJ, 'P', 'R', 'O', 'J')                                                                    \
    X(GUIO, 'G', 'U', 'I', 'O')                                                                    \
    X(MRPH, 'M', 'R', 'P', 'H')                                                                    \
    X(PREV, 'P', 'R', 'E', 'V')                                                                    \
    X(OUTP, 'O', 'U', 'T', 'P')                                                                    \
    X(COLR, 'C', 'O', 'L', 'R')                                                                    \
    X(GRUP, 'G', 'R', 'U', 'P')                                                                    \
    X(FRAM, 'F', 'R', 'A', 'M')                                                                    \
    X(SHAP, 'S', 'H', 'A', 'P')                                                                    \
    X(PrefixMask, 0xFF, 0xFF, 0xFF, 0x00)                                                          \
    X(FORPrefix, 'F', 'O', 'R', 0)                                                                 \
    X(CATPrefix, 'C', 'A', 'T', 0)                                                                 \
    X(LISPrefix, 'L', 'I', 'S', 0)                                                                 \
    X(PROPrefix, 'P', 'R', 'O', 0)

// The constants are constant-initialised: any static initialiser of any
// source unit may read them, whatever order the units start in.
#define FBXSDK_FOURCC_DECLARE(name, a, b, c, d) extern const FourCC gFourCC_##name;
FBXSDK_FOURCC_LIST(FBXSDK_FOURCC_DECLARE)
#undef FBXSDK_FOURCC_DECLARE

}  // namespace fbxsdk_2006_11_1

#endif
