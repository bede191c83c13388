// libavfilter, opened when the loudness meter first needs it rather than linked: it maps some
// thirty more libraries (speech synthesis voices, SVG rendering, GPU placement, ...), 11 MiB
// of every process, for a filter that only ReplayGain uses. The meter's entry points are
// looked up once.
#pragma once

#include <cstdint>  // the FFmpeg headers need its constant macros in C++

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace quelt {

struct AvFilterLibrary {
    decltype(&avfilter_graph_alloc) graph_alloc;
    decltype(&avfilter_graph_free) graph_free;
    decltype(&avfilter_get_by_name) get_by_name;
    decltype(&avfilter_graph_create_filter) graph_create_filter;
    decltype(&avfilter_inout_alloc) inout_alloc;
    decltype(&avfilter_inout_free) inout_free;
    decltype(&avfilter_graph_parse_ptr) graph_parse_ptr;
    decltype(&avfilter_graph_config) graph_config;
    decltype(&av_buffersrc_write_frame) buffersrc_write_frame;
    decltype(&av_buffersrc_add_frame) buffersrc_add_frame;
    decltype(&av_buffersink_get_frame) buffersink_get_frame;
};

// The library of the major version this program was built against, or nullptr when it
// cannot be opened (the loudness is then not measured). Thread-safe; opened once.
const AvFilterLibrary* AvFilter();

}  // namespace quelt
