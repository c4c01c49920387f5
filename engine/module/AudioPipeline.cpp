#include "engine/module/AudioPipeline.h"

#include "engine/module/EngineLog.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nrx {

namespace {
constexpr double kQueueSeconds = 0.25; // decoded sound kept ahead of the driver
}

double VolumeGain(int volume) {
    volume = std::clamp(volume, 0, 100);
    if (volume == 0) return 0.0;
    return std::pow(10.0, -(100 - volume) * 0.5 / 20.0);
}

void BalanceGains(int balance, float& left, float& right) {
    balance = std::clamp(balance, -100, 100);
    left = balance > 0 ? static_cast<float>(100 - balance) / 100.0f : 1.0f;
    right = balance < 0 ? static_cast<float>(100 + balance) / 100.0f : 1.0f;
}

std::vector<double> TempoStages(double rate) {
    std::vector<double> stages;
    while (rate < 0.5) {
        stages.push_back(0.5);
        rate /= 0.5;
    }
    while (rate > 2.0) {
        stages.push_back(2.0);
        rate /= 2.0;
    }
    stages.push_back(rate);
    return stages;
}

AudioPipeline::AudioPipeline(AVStream* stream, SerialQueue<PacketPtr>& packets, std::unique_ptr<AudioOutput> out,
                             ClockSink sink)
    : stream(stream), packets(packets), output(std::move(out)), sink(std::move(sink)), chunks(1 << 16) {}

AudioPipeline::~AudioPipeline() {
    Abort();
    if (thread.joinable()) thread.join();
    output.reset(); // closes the device, so no callback runs past this point
}

void AudioPipeline::Abort() {
    quit = true;
    chunks.Abort();
}

bool AudioPipeline::Start(std::string& error) {
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder) {
        error = "No decoder for the audio codec.";
        return false;
    }
    codec.reset(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0) {
        error = "Cannot set up the audio decoder.";
        return false;
    }
    codec->pkt_timebase = stream->time_base;
    if (const int rc = avcodec_open2(codec.get(), decoder, nullptr); rc < 0) {
        error = "Cannot open the audio decoder: " + AvErrorText(rc);
        return false;
    }
    const int sourceRate = codec->sample_rate > 0 ? codec->sample_rate : 48000;
    std::string driverError;
    if (!output->Open(std::clamp(sourceRate, 8000, 192000), [this](float* out, int n) { Fill(out, n); },
                      driverError)) {
        EngineLog::Write("warning", driverError + " Playing without sound.");
        output = MakeNullAudioOutput();
        output->Open(sourceRate, nullptr, driverError);
    }
    outRate = output->SampleRate() > 0 ? output->SampleRate() : sourceRate;
    chunks.SetMaxWeight(static_cast<std::size_t>(kQueueSeconds * outRate));
    thread = std::thread([this] { DecodeLoop(); });
    return true;
}

void AudioPipeline::SetPaused(bool paused) { output->Pause(paused); }

void AudioPipeline::SetBalance(int balance) {
    float l = 1, r = 1;
    BalanceGains(balance, l, r);
    leftGain = l;
    rightGain = r;
}

void AudioPipeline::Flush(int serial, double startPts) {
    {
        std::lock_guard lock(trimMutex);
        trimSerial = serial;
        trimPts = startPts;
    }
    chunks.Flush(serial);
    std::lock_guard lock(fillMutex);
    current.reset();
    offset = 0;
}

bool AudioPipeline::Drained() {
    const int serial = chunks.Serial();
    if (eofSerial != serial || chunks.Size() > 0) return false;
    std::lock_guard lock(fillMutex);
    return !current || current->serial != serial;
}

void AudioPipeline::DecodeLoop() {
    FramePtr frame = MakeFrame();
    int serial = -1;
    while (!quit) {
        auto item = packets.Pop(std::chrono::milliseconds(100));
        if (!item) continue;
        if (item->serial != serial) {
            serial = item->serial;
            avcodec_flush_buffers(codec.get());
            tempoGraph.reset();
            if (swr) swr_init(swr.get()); // drops samples buffered for the previous position
        }
        const bool end = !item->value;
        if (avcodec_send_packet(codec.get(), end ? nullptr : item->value.get()) < 0 && !end) continue;
        for (;;) {
            const int rc = avcodec_receive_frame(codec.get(), frame.get());
            if (rc < 0) break;
            HandleFrame(frame.get(), serial);
            av_frame_unref(frame.get());
        }
        if (end) {
            if (tempoGraph) {
                if (av_buffersrc_add_frame(tempoIn, nullptr) >= 0) PullTempo(serial);
                tempoGraph.reset();
            }
            eofSerial = serial;
        }
    }
}

void AudioPipeline::HandleFrame(AVFrame* frame, int serial) {
    const std::int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) return;
    double pts = ts * av_q2d(stream->time_base);

    if (!swr || frame->sample_rate != codec->sample_rate || frame->format != codec->sample_fmt) {
        AVChannelLayout in{}, outLayout{};
        if (av_channel_layout_copy(&in, &frame->ch_layout) < 0 || in.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_uninit(&in);
            av_channel_layout_default(&in, std::max(1, frame->ch_layout.nb_channels));
        }
        av_channel_layout_default(&outLayout, 2);
        SwrContext* raw = nullptr;
        const int rc = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_FLT, outRate, &in,
                                           static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        swr.reset(raw);
        if (rc < 0 || swr_init(swr.get()) < 0) {
            swr.reset();
            return;
        }
    }
    const int maxOut = swr_get_out_samples(swr.get(), frame->nb_samples);
    if (maxOut <= 0) return;
    std::vector<float> samples(static_cast<std::size_t>(maxOut) * 2);
    auto* dst = reinterpret_cast<std::uint8_t*>(samples.data());
    const int got = swr_convert(swr.get(), &dst, maxOut, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    if (got <= 0) return;
    samples.resize(static_cast<std::size_t>(got) * 2);

    double startPts;
    {
        std::lock_guard lock(trimMutex);
        startPts = trimSerial == serial ? trimPts : -1e300;
    }
    // Sound before the seek target is cut so that picture and sound restart together.
    const double end = pts + static_cast<double>(got) / outRate;
    if (end <= startPts) return;
    if (pts < startPts) {
        const auto skip = static_cast<std::size_t>((startPts - pts) * outRate);
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(std::min(skip * 2, samples.size())));
        pts = startPts;
    }

    const double rate = wantedRate;
    if (std::abs(rate - 1.0) < 1e-6) {
        tempoGraph.reset();
        Emit(std::move(samples), pts, serial);
        return;
    }
    if (!tempoGraph || std::abs(rate - tempoRate) > 1e-6) {
        std::string error;
        if (!BuildTempo(rate, error)) {
            EngineLog::Write("warning", error);
            Emit(std::move(samples), pts, serial);
            return;
        }
    }
    if (!tempoAnchored) {
        tempoAnchor = pts;
        tempoAnchored = true;
    }
    FramePtr in = MakeFrame();
    in->format = AV_SAMPLE_FMT_FLT;
    in->sample_rate = outRate;
    av_channel_layout_default(&in->ch_layout, 2);
    in->nb_samples = static_cast<int>(samples.size() / 2);
    if (av_frame_get_buffer(in.get(), 0) < 0) return;
    std::memcpy(in->data[0], samples.data(), samples.size() * sizeof(float));
    if (av_buffersrc_add_frame(tempoIn, in.get()) < 0) return;
    PullTempo(serial);
}

bool AudioPipeline::BuildTempo(double rate, std::string& error) {
    tempoGraph.reset(avfilter_graph_alloc());
    tempoAnchored = false;
    tempoOutFrames = 0;
    tempoRate = rate;
    std::string desc = "abuffer=sample_rate=" + std::to_string(outRate) +
                       ":sample_fmt=flt:channel_layout=stereo:time_base=1/" + std::to_string(outRate);
    for (const double stage : TempoStages(rate)) desc += ",atempo=" + std::to_string(stage);
    desc += ",abuffersink";
    if (!tempoGraph || avfilter_graph_parse_ptr(tempoGraph.get(), desc.c_str(), nullptr, nullptr, nullptr) < 0 ||
        avfilter_graph_config(tempoGraph.get(), nullptr) < 0) {
        tempoGraph.reset();
        error = "Cannot set up the tempo change for rate " + std::to_string(rate);
        return false;
    }
    tempoIn = tempoOut = nullptr;
    for (unsigned i = 0; i < tempoGraph->nb_filters; ++i) {
        AVFilterContext* f = tempoGraph->filters[i];
        if (std::strcmp(f->filter->name, "abuffer") == 0) tempoIn = f;
        if (std::strcmp(f->filter->name, "abuffersink") == 0) tempoOut = f;
    }
    if (!tempoIn || !tempoOut) {
        tempoGraph.reset();
        error = "Tempo filter graph lacks its ends.";
        return false;
    }
    return true;
}

void AudioPipeline::PullTempo(int serial) {
    FramePtr out = MakeFrame();
    while (av_buffersink_get_frame(tempoOut, out.get()) >= 0) {
        const auto n = static_cast<std::size_t>(out->nb_samples);
        std::vector<float> samples(n * 2);
        std::memcpy(samples.data(), out->data[0], n * 2 * sizeof(float));
        // Each output sample stands for `rate` samples of the source, so media time advances that much faster.
        const double pts = tempoAnchor + static_cast<double>(tempoOutFrames) * tempoRate / outRate;
        tempoOutFrames += static_cast<long long>(n);
        av_frame_unref(out.get());
        Emit(std::move(samples), pts, serial);
    }
}

void AudioPipeline::Emit(std::vector<float> samples, double pts, int serial) {
    if (samples.empty()) return;
    const std::size_t weight = samples.size() / 2;
    if (!output->IsNull()) chunks.Push(Chunk{std::move(samples), pts}, serial, weight);
}

void AudioPipeline::Fill(float* out, int frames) {
    std::lock_guard lock(fillMutex);
    const float g = gain, l = g * leftGain, r = g * rightGain;
    const int serial = chunks.Serial();
    double firstPts = NAN;
    int written = 0;
    while (written < frames) {
        if (!current || current->serial != serial || offset * 2 >= current->value.samples.size()) {
            current = chunks.Pop(std::chrono::milliseconds(0));
            offset = 0;
            if (!current) break;
            continue;
        }
        const Chunk& c = current->value;
        if (std::isnan(firstPts)) firstPts = c.pts + static_cast<double>(offset) * wantedRate / outRate;
        const std::size_t avail = c.samples.size() / 2 - offset;
        const std::size_t n = std::min(avail, static_cast<std::size_t>(frames - written));
        const float* src = c.samples.data() + offset * 2;
        float* dst = out + static_cast<std::size_t>(written) * 2;
        for (std::size_t i = 0; i < n; ++i) {
            dst[2 * i] = src[2 * i] * l;
            dst[2 * i + 1] = src[2 * i + 1] * r;
        }
        offset += n;
        written += static_cast<int>(n);
    }
    std::fill(out + static_cast<std::size_t>(written) * 2, out + static_cast<std::size_t>(frames) * 2, 0.0f);
    // What is written now is heard after the buffer already queued in the device.
    if (!std::isnan(firstPts)) sink(firstPts - output->Delay() * wantedRate, serial);
}

} // namespace nrx
