#include "picturedec/IVideoDecoder.h"

#include "picturedec/CDxva2Decoder.h"
#include "picturedec/CFFMpegDecoder.h"
#include "picturedec/DecodedPicture.h"

std::unique_ptr<IVideoDecoder> IVideoDecoder::Create(int mode, int instances) {
    if (mode < 0 || mode > 3) {
        return nullptr;
    }
    if (mode == 3) {
        return std::make_unique<CDxva2Decoder>();
    }
    return std::make_unique<CFFMpegDecoder>(instances);
}

IVideoDecoder::IVideoDecoder() = default;
IVideoDecoder::IVideoDecoder(int instances) : m_instances(instances) {}
IVideoDecoder::~IVideoDecoder() = default;

int IVideoDecoder::InitCodec(int type) {
    m_codecType = type;
    return 0;
}
int IVideoDecoder::InitCodec() { return 0; }
void IVideoDecoder::SetTargetFormat(int format) { m_targetFormat = format; }
void IVideoDecoder::SetColorControlMode(int mode) { m_colorControlMode = mode; }
void IVideoDecoder::ReleaseCodec() {}
int IVideoDecoder::Decode(unsigned long, const unsigned char*, int*, int*, int, unsigned char*, _AV_DATA*,
                          int*) {
    return 0;
}
int IVideoDecoder::Decode(unsigned long, const unsigned char*, int*, int*, int, unsigned char*) { return 0; }
std::unique_ptr<picturedec::DecodedPicture> IVideoDecoder::DecodePicture(unsigned long, const unsigned char*,
                                                                         int) {
    return nullptr;
}
int IVideoDecoder::DecodePacket(unsigned long, const unsigned char*, int*, int*, int, unsigned char*,
                                _AV_DATA*, int*) {
    return -1;
}
int IVideoDecoder::ResetCodec(const std::string&) { return 0; }
int IVideoDecoder::ResetCodec(int) { return 0; }
int IVideoDecoder::ApplyDeInterlaceFilter(int enable) {
    m_deinterlace = enable;
    return 0;
}
void IVideoDecoder::SetBrightness(int value) { m_brightness = value; }
void IVideoDecoder::SetContrast(int value) { m_contrast = value; }
void IVideoDecoder::SetSaturation(int value) { m_saturation = value; }
void IVideoDecoder::SetSharpeness(int value) { m_sharpness = value; }
void IVideoDecoder::SetBlur(int value) { m_blur = value; }
