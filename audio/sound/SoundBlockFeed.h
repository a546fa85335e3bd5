#pragma once
// How the viewer hands a block of PCM to the sound output: the buffer is kept while the block's
// format matches it, else made anew for the format (with a half-second gap threshold), and the
// block is appended.

class ISoundEx;

struct SoundBlockFormat {
    int formatTag = 1;
    int sampleRate = 0;
    int bitsPerSample = 16;
};

// The append's result (1 accepted, 0 refused), or -1 when no buffer could be made for the
// format (no sound device).
int FeedSoundBlock(ISoundEx& output, const SoundBlockFormat& format, const unsigned char* samples, int length,
                   int startFlag);
