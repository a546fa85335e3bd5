#pragma once
// The video decoder: one compressed recorder frame in, one uncompressed picture out in the
// form the display draws (32-bit BGRA or planar YUV 4:2:0), with brightness, contrast and
// saturation applied when the colour-control mode asks for it. Up to four independent decoding
// instances, chosen by an index on every call. Every operation of this base answers "nothing".

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// What a decoded picture looks like: values 0 to 2 the plane addresses (Y, U, V; BGRA uses 0),
// values 8 to 10 their line strides in bytes; the rest are left as they are.
struct _AV_DATA {
    std::intptr_t value[16];
};

namespace picturedec {
class DecodedPicture;
}

class IVideoDecoder {
public:
    // Codec types.
    static constexpr int kMotionJpeg = 0;
    static constexpr int kMpeg4 = 1;
    static constexpr int kH264 = 2;
    static constexpr int kHevc = 3;
    // Target and reported picture formats.
    static constexpr int kFormatBgra = 4;
    static constexpr int kFormatYuv = 5;
    static constexpr int kFormatYuvPlanar = 6;

    // Mode 0 to 2: the FFmpeg decoder with `instances` instances; 3: the hardware decoder;
    // anything else: null.
    static std::unique_ptr<IVideoDecoder> Create(int mode, int instances);

    IVideoDecoder();
    explicit IVideoDecoder(int instances);
    virtual ~IVideoDecoder();
    IVideoDecoder(const IVideoDecoder&) = delete;
    IVideoDecoder& operator=(const IVideoDecoder&) = delete;

    virtual int InitCodec(int type);
    virtual int InitCodec();
    virtual void SetTargetFormat(int format);
    virtual void SetColorControlMode(int mode);
    virtual void ReleaseCodec();
    virtual int Decode(unsigned long index, const unsigned char* packet, int* width, int* height,
                       int size, unsigned char* picture, _AV_DATA* planes, int* format);
    virtual int Decode(unsigned long index, const unsigned char* packet, int* width, int* height,
                       int size, unsigned char* picture);
    // Decodes one frame into a picture held by reference (in the target format), without the
    // caller's buffer: the picture keeps its planes alive on its own. Null when nothing came out.
    virtual std::unique_ptr<picturedec::DecodedPicture> DecodePicture(unsigned long index,
                                                                      const unsigned char* packet,
                                                                      int size);
    virtual int DecodePacket(unsigned long index, const unsigned char* packet, int* width,
                             int* height, int size, unsigned char* picture, _AV_DATA* planes,
                             int* format);
    virtual int ResetCodec(const std::string& path);
    virtual int ResetCodec(int type);
    virtual int ApplyDeInterlaceFilter(int enable);
    virtual void SetBrightness(int value);
    virtual void SetContrast(int value);
    virtual void SetSaturation(int value);
    virtual void SetSharpeness(int value);
    virtual void SetBlur(int value);

    int InstanceCount() const { return m_instances; }
    int CodecType() const { return m_codecType; }
    int Brightness() const { return m_brightness; }
    int Contrast() const { return m_contrast; }
    int Saturation() const { return m_saturation; }
    int Sharpness() const { return m_sharpness; }
    int Blur() const { return m_blur; }

protected:
    int m_instances = 4;
    int m_codecType = kH264;
    int m_deinterlace = 0;
    // Set from the viewer's thread, read once per picture on the decoding thread.
    std::atomic<int> m_brightness{0};
    std::atomic<int> m_contrast{0};
    std::atomic<int> m_saturation{0};
    std::atomic<int> m_sharpness{0};
    std::atomic<int> m_blur{0};
    std::atomic<int> m_targetFormat{0};
    std::atomic<int> m_colorControlMode{0};
};
