#pragma once
// A block decoder of compressed sound into 16-bit PCM. Every operation of this base answers
// "nothing" (0).

class IAudioDecoder {
public:
    IAudioDecoder() = default;
    virtual int Open();
    virtual void Close();
    // Decodes `length` bytes from `source` into `destination`; `outputLength` gets the bytes
    // written. 1 on success.
    virtual int Decode(const unsigned char* source, unsigned long length, unsigned char* destination,
                       unsigned long* outputLength);
    virtual int IsOpen();
    virtual ~IAudioDecoder();
    IAudioDecoder(const IAudioDecoder&) = delete;
    IAudioDecoder& operator=(const IAudioDecoder&) = delete;
};
