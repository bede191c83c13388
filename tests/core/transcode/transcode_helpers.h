// Runs the pipeline the way a job does, for the transcode tests.
#pragma once

#include <atomic>
#include <string>

#include "core/transcode/catalogue.h"
#include "core/transcode/pipeline.h"

namespace quelt::test {

struct PipelineRun {
    std::string failure;  // the first message, "" on success
    int failedStep = 0;
    DecodeResult decode;
    int64_t lastPositionMs = -1;
};

inline OutputSpec SpecFor(const std::string& out, int formatRow, int presetRow) {
    OutputFormat format = *OutputFormatRow(formatRow);
    EncodeParameters p = PresetFromLabel(EncodePresetLabel(presetRow));
    OutputSpec spec;
    spec.path = out;
    spec.extension = std::string(format.extension);
    spec.forceAac = format.aac;
    spec.bitRate = p.bitRate;
    spec.sampleRate = p.sampleRate;
    spec.channels = p.channels;
    return spec;
}

inline PipelineRun RunPipeline(const std::string& source, const OutputSpec& spec) {
    PipelineRun run;
    auto input = OpenAudioInput(source);
    if (!input) {
        run.failure = input.message();
        return run;
    }
    auto output = CreateAudioOutput(spec);
    if (!output) {
        run.failure = output.message();
        run.failedStep = output.step();
        return run;
    }
    if (auto error = WriteOutputHeader(*output)) {
        run.failure = *error;
        return run;
    }
    std::atomic<bool> cancel{false};
    run.decode =
        DecodeIntoOutput(*input, *output, cancel, [&](int64_t ms) { run.lastPositionMs = ms; });
    if (run.decode.status != DecodeStatus::kCompleted) {
        run.failure = WriteError(*output);
        return run;
    }
    if (auto error = CloseAudioOutput(*output)) run.failure = *error;
    CloseAudioInput(*input);
    return run;
}

}  // namespace quelt::test
