// What the component can do: playable extensions, audio outputs, decoders and container formats.
#include "engine/module/ComObjects.h"

#include "engine/module/AudioOutput.h"
#include "engine/module/FFmpegPtr.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace nrx {

namespace {

// Demuxers of subtitles, images and playlists open files that hold no sound or moving picture.
bool PlaysMedia(const AVInputFormat* f) {
    static const char* const notMedia[] = {"subtitle", "image",  "playlist", "text", "ASS",
                                           "SubRip",   "WebVTT", "MicroDVD", "SAMI", "JACOsub",
                                           "VobSub",   "PGS",    "lyrics"};
    const std::string longName = f->long_name ? f->long_name : "";
    const std::string name = f->name ? f->name : "";
    if (name.find("_pipe") != std::string::npos || name == "image2") return false;
    for (const char* word : notMedia)
        if (longName.find(word) != std::string::npos) return false;
    return true;
}

// Common containers whose readers recognise a file by its contents alone and so declare no extension:
// without these, transport streams, Windows Media files and MPEG program streams could not be chosen in the
// open dialog or dropped, though they play.
struct ProbedExtensions {
    const char* demuxer;
    const char* extensions;
};
constexpr ProbedExtensions kProbedOnly[] = {
    {"mpegts", "ts,m2ts,mts,m2t,tsv"}, {"asf", "asf,wmv"}, {"mpeg", "mpg,mpeg,vob,m2p"},
    {"ogg", "ogv,oga,opus"},           {"rm", "rm,rmvb"},  {"wtv", "wtv"},
};

void AddExtensions(const char* list, std::set<std::string>& all) {
    std::stringstream items(list);
    for (std::string ext; std::getline(items, ext, ',');)
        if (!ext.empty()) all.insert(ext);
}

std::vector<std::string> Extensions() {
    std::set<std::string> all;
    void* it = nullptr;
    while (const AVInputFormat* f = av_demuxer_iterate(&it))
        if (f->extensions && PlaysMedia(f)) AddExtensions(f->extensions, all);
    for (const ProbedExtensions& probed : kProbedOnly)
        if (av_find_input_format(probed.demuxer)) AddExtensions(probed.extensions, all);
    return {all.begin(), all.end()};
}

std::vector<std::string> Decoders(AVMediaType type) {
    std::set<std::string> names;
    void* it = nullptr;
    while (const AVCodec* c = av_codec_iterate(&it))
        if (c->type == type && av_codec_is_decoder(c)) names.insert(c->long_name ? c->long_name : c->name);
    return {names.begin(), names.end()};
}

std::vector<std::string> Formats() {
    std::vector<std::string> names;
    void* it = nullptr;
    while (const AVInputFormat* f = av_demuxer_iterate(&it))
        if (PlaysMedia(f)) names.emplace_back(f->long_name ? f->long_name : f->name);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> AudioOutputs() {
    std::vector<std::string> names{"Default audio output"};
    std::string error;
    if (StartSdlAudio(error)) {
        const int n = SDL_GetNumAudioDevices(0);
        for (int i = 0; i < n; ++i)
            if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.emplace_back(name);
    }
    return names;
}

class DevicePropertyObject final : public ComObject<IVideoDeviceProperty, IID_IVideoDeviceProperty> {
public:
    HRESULT GetSupportedExtensions(char** out) override {
        if (!out) return E_POINTER;
        std::string patterns;
        for (const auto& ext : Extensions())
            patterns += (patterns.empty() ? "*." : ";*.") + ext;
        const std::string filter = "Video Files|" + patterns + "|All Files (*.*)|*.*";
        *out = DupString(filter.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT GetDeviceCount(std::int32_t* count) override { return Count(AudioOutputs(), count); }
    HRESULT GetDeviceName(std::int32_t index, char** name) override {
        return Name(AudioOutputs(), index, name);
    }
    HRESULT GetVideoCodecCount(std::int32_t* count) override {
        return Count(Decoders(AVMEDIA_TYPE_VIDEO), count);
    }
    HRESULT GetVideoCodecName(std::int32_t index, char** name) override {
        return Name(Decoders(AVMEDIA_TYPE_VIDEO), index, name);
    }
    HRESULT GetAudioCodecCount(std::int32_t* count) override {
        return Count(Decoders(AVMEDIA_TYPE_AUDIO), count);
    }
    HRESULT GetAudioCodecName(std::int32_t index, char** name) override {
        return Name(Decoders(AVMEDIA_TYPE_AUDIO), index, name);
    }
    HRESULT GetFormatCount(std::int32_t* count) override { return Count(Formats(), count); }
    HRESULT GetFormatName(std::int32_t index, char** name) override { return Name(Formats(), index, name); }

private:
    ~DevicePropertyObject() = default;

    static HRESULT Count(const std::vector<std::string>& list, std::int32_t* count) {
        if (!count) return E_POINTER;
        *count = static_cast<std::int32_t>(list.size());
        return S_OK;
    }
    static HRESULT Name(const std::vector<std::string>& list, std::int32_t index, char** name) {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return E_INVALIDARG;
        *name = DupString(list[static_cast<std::size_t>(index)].c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
};

} // namespace

IVideoDeviceProperty* NewVideoDeviceProperty() {
    return new (std::nothrow) DevicePropertyObject();
}

} // namespace nrx
