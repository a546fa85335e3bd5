#pragma once
// IMA (DVI) ADPCM in 512-byte mono WAV blocks at 22,050 Hz, decoded by FFmpeg's IMA ADPCM WAV
// decoder into 16-bit samples.

#include "audio/adpcmdec/IAudioDecoder.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class CDviAdpcm : public IAudioDecoder {
public:
    static constexpr int kSampleRate = 22050;
    static constexpr int kBlockAlign = 512;

    CDviAdpcm();
    ~CDviAdpcm() override;

    int Open() override;
    void Close() override;
    // Decodes whole blocks (a partial last block is decoded as far as it goes).
    int Decode(const unsigned char* source, unsigned long length, unsigned char* destination,
               unsigned long* outputLength) override;
    int IsOpen() override { return m_open ? 1 : 0; }

private:
    bool m_open = false;
    AVCodecContext* m_context = nullptr;  // owned
    AVFrame* m_frame = nullptr;           // owned
    AVPacket* m_packet = nullptr;         // owned
};
