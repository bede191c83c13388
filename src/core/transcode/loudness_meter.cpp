#include "core/transcode/loudness_meter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/transcode/avfilter_library.h"

namespace quelt {
namespace {

// ReplayGain 2's reference loudness.
constexpr double kReferenceLufs = -18.0;
// EBU R128's gates: blocks below -70 LUFS are silence; then blocks more than 10 LU below
// the mean of the rest are left out.
constexpr double kAbsoluteGate = -70.0;
constexpr double kRelativeGate = 10.0;

double Metadata(const AVFrame* frame, const char* key, double fallback) {
    const AVDictionaryEntry* entry = av_dict_get(frame->metadata, key, nullptr, 0);
    return entry ? std::strtod(entry->value, nullptr) : fallback;
}

double MeanEnergy(const std::vector<double>& energies) {
    double sum = 0;
    for (double e : energies) sum += e;
    return energies.empty() ? 0.0 : sum / static_cast<double>(energies.size());
}

}  // namespace

struct LoudnessMeter::Graph {
    explicit Graph(const AvFilterLibrary& library) : avfilter(library) {}
    ~Graph() {
        avfilter.graph_free(&graph);
        av_frame_free(&out);
    }
    const AvFilterLibrary& avfilter;
    AVFilterGraph* graph = avfilter.graph_alloc();
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    AVFrame* out = av_frame_alloc();
};

LoudnessMeter::LoudnessMeter() = default;
LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::SetUp(const AVFrame* frame) {
    const AvFilterLibrary* avfilter = AvFilter();
    if (!avfilter) return false;
    graph_ = std::make_unique<Graph>(*avfilter);
    if (!graph_->graph || !graph_->out) return false;
    char layout[128] = {};
    AVChannelLayout usable{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&usable, frame->ch_layout.nb_channels);
    else
        av_channel_layout_copy(&usable, &frame->ch_layout);
    av_channel_layout_describe(&usable, layout, sizeof layout);
    av_channel_layout_uninit(&usable);
    char args[512];
    std::snprintf(args, sizeof args, "sample_rate=%d:sample_fmt=%s:channel_layout=%s:time_base=1/%d",
                  frame->sample_rate, av_get_sample_fmt_name(static_cast<AVSampleFormat>(frame->format)),
                  layout, frame->sample_rate);
    if (avfilter->graph_create_filter(&graph_->source, avfilter->get_by_name("abuffer"), "in", args,
                                      nullptr, graph_->graph) < 0 ||
        avfilter->graph_create_filter(&graph_->sink, avfilter->get_by_name("abuffersink"), "out",
                                      nullptr, nullptr, graph_->graph) < 0)
        return false;
    // Steps of exactly 100 ms, so that every frame out of the meter carries one block.
    char chain[128];
    std::snprintf(chain, sizeof chain, "asetnsamples=n=%d:p=0,ebur128=metadata=1:peak=sample",
                  std::max(1, frame->sample_rate / 10));
    AVFilterInOut* outputs = avfilter->inout_alloc();
    AVFilterInOut* inputs = avfilter->inout_alloc();
    bool ok = outputs && inputs;
    if (ok) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = graph_->source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = graph_->sink;
        ok = avfilter->graph_parse_ptr(graph_->graph, chain, &inputs, &outputs, nullptr) >= 0 &&
             avfilter->graph_config(graph_->graph, nullptr) >= 0;
    }
    avfilter->inout_free(&inputs);
    avfilter->inout_free(&outputs);
    return ok;
}

void LoudnessMeter::Drain() {
    while (graph_->avfilter.buffersink_get_frame(graph_->sink, graph_->out) >= 0) {
        const double momentary = Metadata(graph_->out, "lavfi.r128.M", kAbsoluteGate - 100);
        result_.blocks.push_back(static_cast<float>(momentary));
        result_.integrated = Metadata(graph_->out, "lavfi.r128.I", result_.integrated);
        result_.peak = std::max(result_.peak, Metadata(graph_->out, "lavfi.r128.sample_peak", 0.0));
        av_frame_unref(graph_->out);
    }
}

void LoudnessMeter::Add(const AVFrame* frame) {
    if (failed_ || !frame || frame->nb_samples <= 0) return;
    if (!graph_ && !SetUp(frame)) {
        failed_ = true;
        return;
    }
    if (graph_->avfilter.buffersrc_write_frame(graph_->source, frame) < 0) {
        failed_ = true;
        return;
    }
    result_.valid = true;
    Drain();
}

Loudness LoudnessMeter::Finish() {
    if (graph_ && !failed_) {
        // The end of the stream makes the filter hand out its last measurements.
        if (graph_->avfilter.buffersrc_add_frame(graph_->source, nullptr) < 0)
            failed_ = true;
        else
            Drain();
    }
    Loudness result = std::move(result_);
    if (failed_) result.valid = false;
    result_ = Loudness{};
    graph_.reset();
    return result;
}

double AlbumLoudness(const std::vector<const Loudness*>& tracks) {
    std::vector<double> energies;
    for (const Loudness* track : tracks)
        for (float block : track->blocks)
            if (block > kAbsoluteGate) energies.push_back(std::pow(10.0, block / 10.0));
    if (energies.empty()) return kAbsoluteGate;
    const double threshold = 10.0 * std::log10(MeanEnergy(energies)) - kRelativeGate;
    std::vector<double> gated;
    for (double e : energies)
        if (10.0 * std::log10(e) > threshold) gated.push_back(e);
    return gated.empty() ? kAbsoluteGate : 10.0 * std::log10(MeanEnergy(gated));
}

Loudness AlbumOf(const std::vector<const Loudness*>& tracks) {
    Loudness album;
    album.integrated = AlbumLoudness(tracks);
    for (const Loudness* track : tracks) album.peak = std::max(album.peak, track->peak);
    album.valid = !tracks.empty();
    return album;
}

std::vector<std::pair<std::string, std::string>> ReplayGainTags(const Loudness& track,
                                                                 const Loudness* album) {
    auto gain = [](double lufs) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f dB", kReferenceLufs - lufs);
        return std::string(text);
    };
    auto peak = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6f", value);
        return std::string(text);
    };
    std::vector<std::pair<std::string, std::string>> tags{
        {"REPLAYGAIN_TRACK_GAIN", gain(track.integrated)},
        {"REPLAYGAIN_TRACK_PEAK", peak(track.peak)},
    };
    if (album) {
        tags.emplace_back("REPLAYGAIN_ALBUM_GAIN", gain(album->integrated));
        tags.emplace_back("REPLAYGAIN_ALBUM_PEAK", peak(album->peak));
    }
    return tags;
}

}  // namespace quelt
