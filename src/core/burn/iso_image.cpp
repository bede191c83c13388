#include "core/burn/iso_image.h"

#include <libisofs/libisofs.h>
#include <stdint.h>

#include "core/burn/libburn_runtime.h"

namespace quelt {
namespace {

// libisofs declares struct burn_source at global scope, libburn inside its namespace;
// both name the same C structure.
burn::burn_source* AsBurnSource(::burn_source* source) {
    return reinterpret_cast<burn::burn_source*>(source);
}

std::string IsoError(const char* what, int code) {
    return std::string(what) + ": " + iso_error_to_msg(code);
}

// ISO 9660 allows 32 characters for the volume identifier.
std::string VolumeId(const std::string& label) {
    std::string id = label.substr(0, 32);
    while (!id.empty() && (static_cast<unsigned char>(id.back()) & 0xC0) == 0x80) id.pop_back();
    if (!id.empty() && static_cast<unsigned char>(id.back()) >= 0xC0) id.pop_back();
    return id;
}

}  // namespace

Expected<std::unique_ptr<IsoImageStream>> IsoImageStream::Create(
    const std::string& volumeLabel, const std::vector<IsoEntry>& entries) {
    if (!LibburnRuntime::Instance().ok())
        return Failure{"The burning libraries could not be started"};
    // File names and the label are UTF-8 whatever the process's locale says.
    iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
    std::unique_ptr<IsoImageStream> stream(new IsoImageStream);
    const std::string volumeId = VolumeId(volumeLabel);
    int result = iso_image_new(volumeId.c_str(), &stream->image_);
    if (result < 0) return Failure{IsoError("Cannot create the disc image", result)};
    iso_image_set_volume_id(stream->image_, volumeId.c_str());
    iso_image_set_application_id(stream->image_, "QUELT CD RIPPER PRO");
    IsoDir* root = iso_image_get_root(stream->image_);
    for (const auto& entry : entries) {
        result = iso_tree_add_new_node(stream->image_, root, entry.name.c_str(),
                                       entry.sourcePath.c_str(), nullptr);
        if (result < 0)
            return Failure{IsoError(("Cannot add " + entry.sourcePath).c_str(), result)};
    }
    IsoWriteOpts* opts = nullptr;
    // The distribution profile: Rock Ridge and Joliet names, plain permissions.
    result = iso_write_opts_new(&opts, 2);
    if (result < 0) return Failure{IsoError("Cannot set up the disc image", result)};
    iso_write_opts_set_joliet(opts, 1);
    iso_write_opts_set_rockridge(opts, 1);
    // Joliet names read exactly as given ("01.wav", not "01.wav;1"); the version suffix is
    // optional there, and ISO 9660's own names keep theirs.
    iso_write_opts_set_omit_version_numbers(opts, 2);
    ::burn_source* source = nullptr;
    result = iso_image_create_burn_source(stream->image_, opts, &source);
    iso_write_opts_free(opts);
    if (result < 0 || !source) return Failure{IsoError("Cannot generate the disc image", result)};
    stream->source_ = AsBurnSource(source);
    return stream;
}

IsoImageStream::~IsoImageStream() {
    if (source_) {
        // Ends libisofs's generator thread if the image was not read to its end.
        if (source_->version > 0 && source_->cancel) source_->cancel(source_);
        burn::burn_source_free(source_);
    }
    if (image_) iso_image_unref(image_);
}

int64_t IsoImageStream::sizeBytes() const {
    return source_ ? int64_t(source_->get_size(source_)) : 0;
}

}  // namespace quelt
