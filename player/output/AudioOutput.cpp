#include "player/output/AudioOutput.h"

#include <SDL.h>

AudioOutput::~AudioOutput() {
    close();
}

void AudioOutput::callback(void* self, unsigned char* stream, int bytes) {
    auto* out = static_cast<AudioOutput*>(self);
    out->source->fill(reinterpret_cast<float*>(stream), bytes / long(2 * sizeof(float)));
}

bool AudioOutput::open(Source& src, std::string& error) {
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("cannot start the sound system: ") + SDL_GetError();
        return false;
    }
    source = &src;
    SDL_AudioSpec want{}, have{};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &AudioOutput::callback;
    want.userdata = this;
    // SDL converts when the device wants another format, so have matches want.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        error = std::string("cannot open the sound device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const char* name = SDL_GetCurrentAudioDriver();
    driverName = name ? name : "";
    bool server = driverName != "dummy" && driverName != "disk";
    delay = long(have.samples) * (server ? 2 : 1);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void AudioOutput::close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}
