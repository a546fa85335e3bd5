#include "platform/mixer/MasterVolume.h"

#include "platform/debug/DebugOut.h"

#include <alsa/asoundlib.h>
#include <cstdarg>
#include <mutex>

namespace tachy {
namespace {

// ALSA prints its own complaints to stderr (a machine without a card gets several); send
// them to the debug output instead.
void alsaErrorToDebugOut(const char* file, int line, const char* function, int error,
                         const char* format, ...) {
    (void)file;
    (void)line;
    (void)error;
    char message[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    DebugOut::printf("ALSA %s: %s\n", function, message);
}

void routeAlsaErrors() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(alsaErrorToDebugOut); });
}

} // namespace

void MasterVolume::MixerCloser::operator()(snd_mixer_t* mixer) const {
    snd_mixer_close(mixer);
}

MasterVolume::MasterVolume(std::string element, std::string card)
    : m_elementName(std::move(element)), m_card(std::move(card)) {}

MasterVolume::~MasterVolume() = default;

bool MasterVolume::open() {
    if (isOpen()) {
        return true;
    }
    routeAlsaErrors();
    snd_mixer_t* raw = nullptr;
    if (snd_mixer_open(&raw, 0) < 0) {
        return false;
    }
    std::unique_ptr<snd_mixer_t, MixerCloser> mixer(raw);
    if (snd_mixer_attach(raw, m_card.c_str()) < 0 ||
        snd_mixer_selem_register(raw, nullptr, nullptr) < 0 || snd_mixer_load(raw) < 0) {
        return false;
    }
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, m_elementName.c_str());
    snd_mixer_elem_t* element = snd_mixer_find_selem(raw, id);
    if (element == nullptr || !snd_mixer_selem_has_playback_volume(element)) {
        return false;
    }
    m_mixer = std::move(mixer);
    m_element = element;
    return true;
}

bool MasterVolume::range(long& minimum, long& maximum) const {
    return isOpen() && snd_mixer_selem_get_playback_volume_range(m_element, &minimum, &maximum) == 0;
}

bool MasterVolume::volume(long& value) const {
    if (!isOpen()) {
        return false;
    }
    snd_mixer_handle_events(m_mixer.get());
    return snd_mixer_selem_get_playback_volume(m_element, SND_MIXER_SCHN_FRONT_LEFT, &value) == 0;
}

bool MasterVolume::setVolume(long value) {
    return isOpen() && snd_mixer_selem_set_playback_volume_all(m_element, value) == 0;
}

bool MasterVolume::hasMute() const {
    return isOpen() && snd_mixer_selem_has_playback_switch(m_element);
}

bool MasterVolume::muted(bool& isMuted) const {
    if (!hasMute()) {
        return false;
    }
    snd_mixer_handle_events(m_mixer.get());
    int on = 1;
    if (snd_mixer_selem_get_playback_switch(m_element, SND_MIXER_SCHN_FRONT_LEFT, &on) != 0) {
        return false;
    }
    isMuted = on == 0;
    return true;
}

bool MasterVolume::setMuted(bool mute) {
    return hasMute() && snd_mixer_selem_set_playback_switch_all(m_element, mute ? 0 : 1) == 0;
}

} // namespace tachy
