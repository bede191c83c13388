#include "core/transcode/avfilter_library.h"

#include <string>

#include "core/transcode/runtime_library.h"

namespace quelt {
namespace {

const AvFilterLibrary* Open() {
    void* handle =
        OpenRuntimeLibrary("libavfilter.so." + std::to_string(LIBAVFILTER_VERSION_MAJOR));
    if (!handle) return nullptr;
    static AvFilterLibrary library;
    AvFilterLibrary& l = library;
    const bool complete =
        ResolveSymbol(handle, "avfilter_graph_alloc", l.graph_alloc) &&
        ResolveSymbol(handle, "avfilter_graph_free", l.graph_free) &&
        ResolveSymbol(handle, "avfilter_get_by_name", l.get_by_name) &&
        ResolveSymbol(handle, "avfilter_graph_create_filter", l.graph_create_filter) &&
        ResolveSymbol(handle, "avfilter_inout_alloc", l.inout_alloc) &&
        ResolveSymbol(handle, "avfilter_inout_free", l.inout_free) &&
        ResolveSymbol(handle, "avfilter_graph_parse_ptr", l.graph_parse_ptr) &&
        ResolveSymbol(handle, "avfilter_graph_config", l.graph_config) &&
        ResolveSymbol(handle, "av_buffersrc_write_frame", l.buffersrc_write_frame) &&
        ResolveSymbol(handle, "av_buffersrc_add_frame", l.buffersrc_add_frame) &&
        ResolveSymbol(handle, "av_buffersink_get_frame", l.buffersink_get_frame);
    return complete ? &library : nullptr;
}

}  // namespace

const AvFilterLibrary* AvFilter() {
    static const AvFilterLibrary* const library = Open();
    return library;
}

}  // namespace quelt
