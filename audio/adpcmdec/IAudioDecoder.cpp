#include "audio/adpcmdec/IAudioDecoder.h"

int IAudioDecoder::Open() { return 0; }
void IAudioDecoder::Close() {}
int IAudioDecoder::Decode(const unsigned char*, unsigned long, unsigned char*, unsigned long*) { return 0; }
int IAudioDecoder::IsOpen() { return 0; }
IAudioDecoder::~IAudioDecoder() = default;
