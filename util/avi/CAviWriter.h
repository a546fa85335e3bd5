#pragma once
// Writes a clip in the recorder's layout: one video stream, an optional audio stream and an
// optional driving-data stream ("txts") that runs on the video clock (record n belongs to
// frame n). Sample numbers skipped with IncSampleCount become empty samples.

#include "platform/avi/AviFileWriter.h"

#include <cstdint>
#include <memory>
#include <string>

class CAviWriter {
public:
    CAviWriter();
    virtual ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    int Open(const std::string& path);
    // type: 0, 1, 2 uncompressed 32, 24, 16 bits; 3 YUY2; 4 XVID; 5 X264; 6 MJPG; 7 HEVC (our
    // addition, so that H.265 clips carry a FourCC that other readers recognise).
    int OpenVideoStream(int type, double framesPerSecond, int width, int height, int firstSample,
                        int callerNumbering);
    // type: 0 PCM, 1 mu-law, 2 A-law.
    int OpenAudioStream(int type, int bitsPerSample, int samplesPerSecond, int channels,
                        int suggestedBufferSize);
    int OpenUserStream(double framesPerSecond, int suggestedBufferSize, const void* format,
                       int formatSize);

    int WriteVideo(const void* data, int size, int isKey);
    void IncSampleCount(int count);
    int WriteAudio(const void* data, int size);
    int WriteUserData(const void* data, int size, int flag);

    // Re-times the video stream to 15 frames per second (scale 1000, rate 15000) in the file
    // being written; the argument is not used. 1 when a video stream is open.
    int EditVideoStream(int unused);
    // Re-times the driving-data stream to `rate` / 1000 records per second (scale 1000), so
    // that it can be kept on the video clock after EditVideoStream. 1 when a driving-data
    // stream is open and the rate is above 0.
    int EditUserStream(int rate);

    void CloseVideoStream();
    void CloseAudioStream();
    void CloseUserStream();
    // Completes and closes the file; 1 when it was written whole.
    int Close();

    int IsOpen() const { return m_file != nullptr ? 1 : 0; }
    int IsVideoOpen() const { return m_video >= 0 ? 1 : 0; }
    int IsAudioOpen() const { return m_audio >= 0 ? 1 : 0; }
    int IsUserOpen() const { return m_user >= 0 ? 1 : 0; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetExtraInfo(int value) { m_extraInfo = value; }
    int GetExtraInfo() const { return m_extraInfo; }

    // The underlying writer, for tests and tools that need its options (index on or off).
    tachy::AviFileWriter* Writer() { return m_file.get(); }

private:
    std::unique_ptr<tachy::AviFileWriter> m_file;
    int m_video = -1;  // stream ordinals, -1 when not open
    int m_audio = -1;
    int m_user = -1;
    bool m_firstFramePending = false;
    std::int64_t m_videoSample = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_callerNumbering = false;
    std::int64_t m_audioSample = 0;
    int m_extraInfo = 0;
};
