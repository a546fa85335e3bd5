#pragma once
// Expands the recorder's sound into 16-bit linear PCM: G.711 mu-law bytes (one sample each),
// the fixed blocks of multi-channel recordings, and IMA ADPCM.

#include <memory>

class CDviAdpcm;

class CAudDecoder {
public:
    // Samples of a two-channel and a four-channel block.
    static constexpr unsigned long kBlockBytes = 2048;

    CAudDecoder();
    ~CAudDecoder();
    CAudDecoder(const CAudDecoder&) = delete;
    CAudDecoder& operator=(const CAudDecoder&) = delete;

    // Expands `length` mu-law bytes into as many little-endian 16-bit samples; 1.
    int DecodeAudio(const unsigned char* source, unsigned long length, unsigned char* destination,
                    unsigned long* outputLength);
    // Bytes 0 to 2047 of the block into 2,048 samples; 1.
    int Decode2Ch(const unsigned char* source, unsigned char* destination);
    // The last quarter of the block (bytes 1536 to 2047) into 512 samples; 1.
    int Decode4Ch(const unsigned char* source, unsigned char* destination);
    // IMA ADPCM blocks (512 bytes, mono, 22,050 Hz) into samples; 0 when the decoder cannot be
    // opened.
    int DecodeADPCM(const unsigned char* source, unsigned long length, unsigned char* destination,
                    unsigned long* outputLength);

    // One mu-law byte as a 16-bit sample.
    static short MuLawToLinear(unsigned char value);

private:
    std::unique_ptr<CDviAdpcm> m_adpcm;  // opened on first use
};
