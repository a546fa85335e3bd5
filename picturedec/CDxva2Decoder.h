#pragma once
// The hardware video decoder (decoder mode 3). Runs on FFmpeg's hardware device API with VAAPI
// here: the picture is decoded on the GPU, copied back as NV12 and converted with libswscale.
// On a machine without a usable device InitCodec answers 0 and nothing is decoded.

#include "picturedec/IVideoDecoder.h"

struct AVBufferRef;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class CDxva2Decoder : public IVideoDecoder {
public:
    CDxva2Decoder();
    ~CDxva2Decoder() override;

    // True when a hardware device can be opened on this machine.
    static bool IsSupported();

    int InitCodec(int type) override;
    int InitCodec() override;
    void ReleaseCodec() override;
    int Decode(unsigned long index, const unsigned char* packet, int* width, int* height, int size,
               unsigned char* picture, _AV_DATA* planes, int* format) override;
    int Decode(unsigned long index, const unsigned char* packet, int* width, int* height, int size,
               unsigned char* picture) override;
    int ResetCodec(int type) override;
    void SetBrightness(int value) override;
    void SetContrast(int value) override;
    void SetSaturation(int value) override;

    // H.264 profiles above High (High 10 and the like) are refused; constrained flags aside.
    static bool ProfileAccepted(int codecType, int profile);

private:
    bool ReceiveNv12(const unsigned char* packet, int size);

    AVBufferRef* m_device = nullptr;      // owned
    AVCodecContext* m_context = nullptr;  // owned
    AVFrame* m_decoded = nullptr;         // owned: the hardware picture
    AVFrame* m_copy = nullptr;            // owned: the picture copied back to memory
    AVPacket* m_packet = nullptr;         // owned
};
