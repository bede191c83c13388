// The output file of one track of a rip or a conversion: where it goes, how it is encoded
// and which of the track's tags it carries.
#pragma once

#include <string>

#include "core/catalogue/catalogue.h"
#include "core/naming/templates.h"
#include "core/transcode/pipeline.h"

namespace quelt {

// The tags written into the file: the track's texts, its year and its number as the track.
inline OutputTags TrackOutputTags(const TrackTags& tags) {
    OutputTags out;
    out.title = tags.title;
    out.artist = tags.artist;
    out.album = tags.album;
    out.genre = tags.genre;
    out.copyright = tags.copyright;
    out.comment = tags.comment;
    out.year = tags.year;
    out.track = tags.number;
    return out;
}

// The output at `path` encoded with `encoding` in the catalogue's format `formatRow`;
// `extension` is the job's current extension. `tags` null: no tag is written. For
// "Same as source" the caller fills in the source's rate, channels and depth.
inline OutputParameters TrackOutputParameters(std::string path, std::string extension,
                                              int formatRow, const EncodeParameters& encoding,
                                              const TrackTags* tags) {
    OutputParameters parameters;
    parameters.path = std::move(path);
    parameters.extension = std::move(extension);
    parameters.forceAac = IsAacRow(formatRow);
    parameters.bitRate = encoding.bitRate;
    parameters.sampleRate = encoding.sampleRate;
    parameters.channels = encoding.channels;
    if (const auto format = OutputFormatRow(formatRow)) {
        parameters.encoder = std::string(format->encoder);
        if (format->fixedSampleRate > 0) parameters.sampleRate = format->fixedSampleRate;
    }
    if (tags) parameters.tags = TrackOutputTags(*tags);
    return parameters;
}

// Whether `formatRow` can encode with `encoding`: "Same as source" only for lossless rows.
inline bool FormatTakesPreset(int formatRow, const EncodeParameters& encoding) {
    const auto format = OutputFormatRow(formatRow);
    return !encoding.sameAsSource || (format && format->lossless);
}

}  // namespace quelt
