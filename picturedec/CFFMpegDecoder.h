#pragma once
// The software video decoder on FFmpeg (libavcodec and libswscale); for HEVC it tries Intel
// Quick Sync through FFmpeg's QSV decoders first, where the build has them and a probe frame
// decodes.

#include "picturedec/IVideoDecoder.h"
#include "picturedec/PictureConverter.h"

#include <array>

struct AVBufferPool;
struct AVBufferRef;
struct AVCodec;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class CFFMpegDecoder : public IVideoDecoder {
public:
    static constexpr int kMaxInstances = 4;

    explicit CFFMpegDecoder(int instances = 1);
    ~CFFMpegDecoder() override;

    int InitCodec(int type) override;
    int InitCodec() override;
    void ReleaseCodec() override;
    int Decode(unsigned long index, const unsigned char* packet, int* width, int* height, int size,
               unsigned char* picture, _AV_DATA* planes, int* format) override;
    int Decode(unsigned long index, const unsigned char* packet, int* width, int* height, int size,
               unsigned char* picture) override;
    std::unique_ptr<picturedec::DecodedPicture> DecodePicture(unsigned long index, const unsigned char* packet,
                                                              int size) override;
    int DecodePacket(unsigned long index, const unsigned char* packet, int* width, int* height,
                     int size, unsigned char* picture, _AV_DATA* planes, int* format) override;
    int ResetCodec(const std::string& path) override;
    int ResetCodec(int type) override;
    void SetBrightness(int value) override;
    void SetContrast(int value) override;
    void SetSaturation(int value) override;
    void SetSharpeness(int value) override;
    void SetBlur(int value) override;
    void SetBlur(float value, float unused);
    void SetSharpeness(float value, float unused);

    // Whether the instances are ready to decode (InitCodec reports 1 either way).
    bool IsReady() const { return m_slots[0].context != nullptr; }

private:
    struct Slot {
        const AVCodec* codec = nullptr;
        AVCodecContext* context = nullptr;  // owned
        AVFrame* decoded = nullptr;         // owned
        AVFrame* output = nullptr;          // owned; allocated with the instance
        // Pictures that need converting: the scaler kept between pictures, and a pool of
        // picture buffers of poolBytes each (made anew when the picture size changes).
        std::unique_ptr<picturedec::PictureScaler> scaler;
        AVBufferPool* pool = nullptr;  // owned
        int poolBytes = 0;
    };

    bool Initialise();
    bool SoftwarePath();
    bool IntelPath();
    int Send(Slot& slot, const unsigned char* packet, int size);
    std::unique_ptr<picturedec::DecodedPicture> Converted(Slot& slot, int target);

    std::array<Slot, kMaxInstances> m_slots{};
    AVPacket* m_packet = nullptr;  // owned; reused for every packet
    // The packet bytes with libavcodec's zeroed padding; reused while the decoder holds no
    // reference to it.
    AVBufferRef* m_packetBuffer = nullptr;  // owned
};
