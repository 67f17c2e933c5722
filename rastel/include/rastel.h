/* rastel: image operations on caller-owned pixels, with a plain C interface. */
#ifndef RASTEL_H
#define RASTEL_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(RASTEL_BUILDING)
#define RASTEL_API __attribute__((visibility("default")))
#else
#define RASTEL_API
#endif

/* Depth codes: bits per channel, bit 31 set for signed types. */
#define VOP_DEPTH_SIGN ((int)0x80000000u)
#define VOP_DEPTH_1U 1
#define VOP_DEPTH_8U 8
#define VOP_DEPTH_16U 16
#define VOP_DEPTH_32F 32
#define VOP_DEPTH_8S ((int)0x80000008u)
#define VOP_DEPTH_16S ((int)0x80000010u)
#define VOP_DEPTH_32S ((int)0x80000020u)

#define VOP_DATA_ORDER_PIXEL 0
#define VOP_DATA_ORDER_PLANE 1
#define VOP_ORIGIN_TL 0
#define VOP_ORIGIN_BL 1

#define VOP_BORDER_CONSTANT 0
#define VOP_BORDER_REPLICATE 1
#define VOP_BORDER_REFLECT 2
#define VOP_BORDER_WRAP 3

#define VOP_SIDE_TOP 0
#define VOP_SIDE_BOTTOM 1
#define VOP_SIDE_LEFT 2
#define VOP_SIDE_RIGHT 3

#define VOP_INTER_NN 0
#define VOP_INTER_LINEAR 1
#define VOP_INTER_CUBIC 2
#define VOP_INTER_SUPER 3

/* Flags of vopDeallocate, acted on in the order ROI, mask, tile, data, header. */
#define VOP_FREE_HEADER 1
#define VOP_FREE_DATA 2
#define VOP_FREE_ROI 4
#define VOP_FREE_TILE 8
#define VOP_FREE_MASK 16
#define VOP_FREE_ALL 31

/* Status codes reported to the error handler. */
#define VOP_StsOk 0
#define VOP_StsBackTrace (-1)
#define VOP_StsInternal (-3)
#define VOP_StsNoMem (-4)
#define VOP_StsBadArg (-5)
#define VOP_StsBadFunc (-6)
#define VOP_StsNoConv (-7)
#define VOP_StsAutoTrace (-8)
#define VOP_HeaderIsNull (-9)
#define VOP_BadImageSize (-10)
#define VOP_BadOffset (-11)
#define VOP_BadDataPtr (-12)
#define VOP_BadStep (-13)
#define VOP_BadModelOrChSeq (-14)
#define VOP_BadNumChannels (-15)
#define VOP_BadNumChannel1U (-16)
#define VOP_BadDepth (-17)
#define VOP_BadAlphaChannel (-18)
#define VOP_BadOrder (-19)
#define VOP_BadOrigin (-20)
#define VOP_BadAlign (-21)
#define VOP_BadCallBack (-22)
#define VOP_BadTileSize (-23)
#define VOP_BadCOI (-24)
#define VOP_BadROISize (-25)
#define VOP_MaskIsTiled (-26)
#define VOP_StsNullPtr (-27)
#define VOP_StsVecLengthErr (-28)
#define VOP_StsFilterStructContentErr (-29)
#define VOP_StsKernelStructContentErr (-30)
#define VOP_StsFilterOffsetErr (-31)

typedef struct VopROI {
    int coi; /* 0 all channels, k only channel k (1-based) */
    int offsetX;
    int offsetY;
    int width;
    int height;
} VopROI;

struct VopImage;
typedef struct VopTileInfo {
    void (*callBack)(const struct VopImage* image, int xIndex, int yIndex, int mode);
    void* id;
    char* tileData;
    int tileWidth;
    int tileHeight;
} VopTileInfo;

/* The image header. Its fields are in the documented order; with 64-bit pointers the
   record is larger than on 32-bit builds, and headerSize holds its actual size. */
typedef struct VopImage {
    int headerSize;
    int version;
    int nChannels;
    int alphaChannel;
    int depth;
    char colorModel[4];
    char channelSequence[4];
    int dataOrder;
    int origin;
    int alignment;
    int width;
    int height;
    VopROI* roi;
    struct VopImage* maskImage;
    void* userData;
    VopTileInfo* tileInfo;
    int imageSize;
    char* imageData;
    int widthStep;
    int borderMode[4];
    int borderValue[4];
    char* imageDataBase;
} VopImage;

/* Error handling: the handler gets every report; the default one ends the process with
   exit status 1 in error mode 0 (the initial mode) and returns the status otherwise. */
typedef int (*VopErrorCallback)(int status, const char* functionName, const char* message, const char* file, int line);

#define VOP_ErrModeLeaf 0   /* report, then end the process */
#define VOP_ErrModeParent 1 /* report and return */
#define VOP_ErrModeSilent 2 /* return without printing */

RASTEL_API int vopGetErrStatus(void);
RASTEL_API void vopSetErrStatus(int status);
RASTEL_API int vopGetErrMode(void);
RASTEL_API int vopSetErrMode(int mode);
/* Installs a handler for the calling thread (null restores the default); returns the old one. */
RASTEL_API VopErrorCallback vopRedirectError(VopErrorCallback handler);
RASTEL_API const char* vopErrorStr(int status);

/* Records. */
RASTEL_API VopImage* vopCreateImageHeader(int nChannels, int alphaChannel, int depth, const char* colorModel,
                                          const char* channelSequence, int dataOrder, int origin, int alignment,
                                          int width, int height, VopROI* roi, VopImage* maskImage, void* userData,
                                          VopTileInfo* tileInfo);
RASTEL_API void vopDeallocate(VopImage* image, int flags);
RASTEL_API VopROI* vopCreateROI(int coi, int offsetX, int offsetY, int width, int height);
RASTEL_API void vopSetROI(VopROI* roi, int coi, int offsetX, int offsetY, int width, int height);
RASTEL_API void vopDeleteROI(VopROI* roi);

/* Linear filters. */
RASTEL_API void vopFixedFilter(const VopImage* srcImage, VopImage* dstImage, int kind);
RASTEL_API void vopBlur(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY);

/* Rank and morphological filters. */
RASTEL_API void vopMaxFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY);
RASTEL_API void vopMinFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY);
RASTEL_API void vopMedianFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY);
RASTEL_API void vopColorMedianFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX,
                                     int anchorY);
RASTEL_API void vopErode(const VopImage* srcImage, VopImage* dstImage, int iterations);
RASTEL_API void vopDilate(const VopImage* srcImage, VopImage* dstImage, int iterations);
RASTEL_API void vopOpen(const VopImage* srcImage, VopImage* dstImage, int iterations);
RASTEL_API void vopClose(const VopImage* srcImage, VopImage* dstImage, int iterations);

/* Resize by xDst/xSrc and yDst/ySrc with VOP_INTER_NN, _LINEAR, _CUBIC or _SUPER (reduction only). */
RASTEL_API void vopResize(const VopImage* srcImage, VopImage* dstImage, int xDst, int xSrc, int yDst, int ySrc,
                          int interpolation);

#ifdef __cplusplus
}
#endif

#endif /* RASTEL_H */
