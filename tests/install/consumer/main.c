/* Blurs a 4 x 4 picture with the installed rastel and prints the centre pixel. */
#include <rastel.h>

#include <stdio.h>

int main(void) {
    unsigned char pixels[16] = {0, 0, 0, 0, 0, 90, 90, 0, 0, 90, 90, 0, 0, 0, 0, 0};
    unsigned char blurred[16] = {0};
    VopImage* source = vopCreateImageHeader(1, 0, VOP_DEPTH_8U, "GRAY", "GRAY", VOP_DATA_ORDER_PIXEL, VOP_ORIGIN_TL,
                                            4, 4, 4, NULL, NULL, NULL, NULL);
    VopImage* target = vopCreateImageHeader(1, 0, VOP_DEPTH_8U, "GRAY", "GRAY", VOP_DATA_ORDER_PIXEL, VOP_ORIGIN_TL,
                                            4, 4, 4, NULL, NULL, NULL, NULL);
    if (!source || !target) return 1;
    source->imageData = (char*)pixels;
    target->imageData = (char*)blurred;
    vopBlur(source, target, 3, 3, 1, 1);
    printf("rastel %d\n", blurred[5]);
    vopDeallocate(source, VOP_FREE_HEADER);
    vopDeallocate(target, VOP_FREE_HEADER);
    return vopGetErrStatus() == VOP_StsOk ? 0 : 1;
}
