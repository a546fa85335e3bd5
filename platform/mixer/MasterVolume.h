#pragma once
// The sound card's master playback volume and mute switch through the ALSA mixer. Fails
// cleanly, with every call answering false, on a machine without a sound card.

#include <memory>
#include <string>

// ALSA's own type names, declared here so that users of this header need not include ALSA.
typedef struct _snd_mixer snd_mixer_t;            // NOLINT(bugprone-reserved-identifier)
typedef struct _snd_mixer_elem snd_mixer_elem_t;  // NOLINT(bugprone-reserved-identifier)

namespace tachy {

class MasterVolume {
public:
    // `element` is the mixer control ("Master" for the speakers, "PCM" for the wave output).
    explicit MasterVolume(std::string element = "Master", std::string card = "default");
    ~MasterVolume();
    MasterVolume(const MasterVolume&) = delete;
    MasterVolume& operator=(const MasterVolume&) = delete;

    // Opens the mixer and finds the element; true when it has a playback volume.
    bool open();
    bool isOpen() const { return m_element != nullptr; }

    bool range(long& minimum, long& maximum) const;
    // The volume of the first channel.
    bool volume(long& value) const;
    // Sets every channel.
    bool setVolume(long value);
    bool hasMute() const;
    bool muted(bool& isMuted) const;
    bool setMuted(bool mute);

private:
    struct MixerCloser {
        void operator()(snd_mixer_t* mixer) const;
    };

    std::string m_elementName;
    std::string m_card;
    std::unique_ptr<snd_mixer_t, MixerCloser> m_mixer;
    snd_mixer_elem_t* m_element = nullptr;  // owned by m_mixer
};

} // namespace tachy
