#include "foundation/image_view.h"

#include "foundation/image_rows.h"

void CImageView::Init(uint8_t* pixels_, int width_, int height_, int stride_)
{
    pixels = pixels_;
    width = width_;
    height = height_;
    stride = stride_;
    firstRow = FirstRowOf(pixels_, height_, stride_);
}
