// Runs the pipeline the way a job does, for the transcode tests.
#pragma once

#include <atomic>
#include <string>

#include "core/catalogue/catalogue.h"
#include "core/transcode/pipeline.h"

namespace quelt::test {

struct PipelineRun {
    std::string failure;  // the first message, "" on success
    int failedStep = 0;
    DecodeResult decode;
    int64_t lastPositionMs = -1;
};

inline OutputParameters ParametersFor(const std::string& out, int formatRow, int presetRow) {
    OutputFormat format = *OutputFormatRow(formatRow);
    EncodeParameters p = PresetFromLabel(EncodePresetLabel(presetRow));
    OutputParameters parameters;
    parameters.path = out;
    parameters.extension = std::string(format.extension);
    parameters.forceAac = format.aac;
    parameters.bitRate = p.bitRate;
    parameters.sampleRate = p.sampleRate;
    parameters.channels = p.channels;
    return parameters;
}

inline PipelineRun RunPipeline(const std::string& source, const OutputParameters& parameters) {
    PipelineRun run;
    auto input = OpenAudioInput(source);
    if (!input) {
        run.failure = input.message();
        return run;
    }
    auto output = CreateAudioOutput(parameters);
    if (!output) {
        run.failure = output.message();
        run.failedStep = output.step();
        return run;
    }
    if (auto header = WriteOutputHeader(*output); !header) {
        run.failure = header.message();
        return run;
    }
    std::atomic<bool> cancel{false};
    run.decode =
        DecodeIntoOutput(*input, *output, cancel, [&](int64_t ms) { run.lastPositionMs = ms; });
    if (run.decode.status != DecodeStatus::kCompleted) {
        run.failure = WriteError(*output);
        return run;
    }
    if (auto closed = CloseAudioOutput(*output); !closed) run.failure = closed.message();
    CloseAudioInput(*input);
    return run;
}

}  // namespace quelt::test
