#include "audio/adpcmdec/CAudDecoder.h"

#include "audio/adpcmdec/CDviAdpcm.h"

#include <array>

namespace {

void expand(const unsigned char* source, unsigned long count, unsigned char* destination) {
    for (unsigned long i = 0; i < count; ++i) {
        const auto sample = static_cast<unsigned short>(CAudDecoder::MuLawToLinear(source[i]));
        destination[2 * i] = static_cast<unsigned char>(sample & 0xFF);
        destination[2 * i + 1] = static_cast<unsigned char>(sample >> 8);
    }
}

} // namespace

CAudDecoder::CAudDecoder() = default;
CAudDecoder::~CAudDecoder() = default;

short CAudDecoder::MuLawToLinear(unsigned char value) {
    const int u = static_cast<unsigned char>(~value);
    const int t = (((u & 0x0F) << 3) + 132) << ((u >> 4) & 7);
    return static_cast<short>((u & 0x80) != 0 ? 132 - t : t - 132);
}

int CAudDecoder::DecodeAudio(const unsigned char* source, unsigned long length, unsigned char* destination,
                             unsigned long* outputLength) {
    if (length > 0 && (source == nullptr || destination == nullptr)) {
        return 0;
    }
    expand(source, length, destination);
    if (outputLength != nullptr) {
        *outputLength = length * 2;
    }
    return 1;
}

int CAudDecoder::Decode2Ch(const unsigned char* source, unsigned char* destination) {
    if (source == nullptr || destination == nullptr) {
        return 0;
    }
    expand(source, kBlockBytes, destination);
    return 1;
}

int CAudDecoder::Decode4Ch(const unsigned char* source, unsigned char* destination) {
    if (source == nullptr || destination == nullptr) {
        return 0;
    }
    expand(source + kBlockBytes * 3 / 4, kBlockBytes / 4, destination);
    return 1;
}

int CAudDecoder::DecodeADPCM(const unsigned char* source, unsigned long length, unsigned char* destination,
                             unsigned long* outputLength) {
    if (!m_adpcm) {
        m_adpcm = std::make_unique<CDviAdpcm>();
    }
    if (m_adpcm->IsOpen() == 0 && m_adpcm->Open() == 0) {
        m_adpcm->Close();
        return 0;
    }
    return m_adpcm->Decode(source, length, destination, outputLength);
}
