#pragma once
// One decoded picture held by reference: either the decoder's own frame, handed on without a
// copy, or a converted copy in a buffer taken from a pool. The plane addresses and strides stay
// valid for as long as the object lives, whatever the decoder does meanwhile.

#include <memory>

struct AVBufferPool;
struct AVFrame;

namespace picturedec {

class DecodedPicture {
public:
    // Takes over the frame's references (the frame is left empty for the decoder to reuse).
    static std::unique_ptr<DecodedPicture> Adopt(AVFrame& frame, int reportedFormat);
    // A picture of the size and pixel format (an AVPixelFormat) with its planes in one buffer
    // from `pool`, which must hand out buffers of at least BufferSize(width, height, format).
    static std::unique_ptr<DecodedPicture> FromPool(AVBufferPool& pool, int width, int height,
                                                    int pixelFormat, int reportedFormat);
    static int BufferSize(int width, int height, int pixelFormat);

    ~DecodedPicture();
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;

    unsigned char* Plane(int plane) const;
    int Stride(int plane) const;
    int Width() const;
    int Height() const;
    // The format the display is told: 4 BGRA, 6 planar YUV 4:2:0.
    int ReportedFormat() const { return m_reportedFormat; }
    AVFrame& Frame() { return *m_frame; }

private:
    DecodedPicture(AVFrame* frame, int reportedFormat);

    AVFrame* m_frame;  // owned
    int m_reportedFormat;
};

} // namespace picturedec
