#pragma once
// Converts one decoded picture into the caller's buffer in the packed layout the display takes
// (BGRA, or YUV 4:2:0 planes one after another), with brightness, contrast and saturation and,
// for the blur form, a Gaussian blur of the luma.

#include "picturedec/IVideoDecoder.h"

struct AVFrame;
struct SwsContext;

namespace picturedec {

struct PictureControls {
    bool apply = false;          // set the colourspace details at all
    bool bt709Target = false;    // for YUV targets: BT.709 destination table, limited range
    int brightness = 0;
    int contrast = 65536;
    int saturation = 65536;
};

struct ConvertedPicture {
    int width = 0;
    int height = 0;
    int reportedFormat = 0;
    _AV_DATA planes{};
};

// `target` is a decoder target format (4 BGRA; 5, 6 or 7 YUV). `scalerFlags` are libswscale's
// (SWS_BICUBIC, SWS_BILINEAR); `lumaBlur` above 0 adds a Gaussian blur of that strength.
// False when the format is unknown or the scaler cannot be made.
bool ConvertPicture(const AVFrame& source, int target, int scalerFlags, float lumaBlur,
                    const PictureControls& controls, unsigned char* picture, ConvertedPicture& out);

// Converts pictures of one stream, keeping its scaler from one picture to the next (made anew
// only when the size or a format changes).
class PictureScaler {
public:
    PictureScaler() = default;
    ~PictureScaler();
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    // Into `destination`, whose planes are allocated for the source's size and for the pixel
    // format DestinationFormat(target). False when the target is unknown or sizes differ.
    bool Convert(const AVFrame& source, int target, int scalerFlags, const PictureControls& controls,
                 AVFrame& destination);
    // The AVPixelFormat a decoder target format converts to, or -1.
    static int DestinationFormat(int target);

private:
    SwsContext* m_scaler = nullptr;  // owned
};

// Hands a converted picture to the caller: plane addresses and strides (values 0-2 and 8-10 of
// the record, the others untouched), size and reported format; null pointers are skipped.
void Publish(const ConvertedPicture& picture, _AV_DATA* planes, int* width, int* height, int* format);

} // namespace picturedec
