#include "core/naming/output_path.h"

#include <cerrno>

#include "core/naming/paths.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"

namespace quelt {
namespace {

// The folder of a full path without its final "/", as MakeDirectoryPath takes it. Returns
// the folders made.
std::vector<std::string> MakeFolderOf(const std::string& path) {
    std::string folder = PathFolder(path);
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty() && folder != "/") return MakeDirectoryPath(folder);
    return {};
}

// Claims `path` for `target`; a folder that another job removed just now is made again.
ClaimStatus Claim(ConvertTarget& target, const std::string& path) {
    ClaimStatus status = ClaimNewFile(path);
    for (int retry = 0; status == ClaimStatus::kFailed && errno == ENOENT && retry < 3; ++retry) {
        target.claim.AddCreatedFolders(MakeFolderOf(path));
        status = ClaimNewFile(path);
    }
    if (status == ClaimStatus::kClaimed) target.claim.HoldPlaceholder(path);
    return status;
}

// An empty folder setting would put files in whatever folder the process runs in; it
// stands for the default output folder, as ApplyRipFolderDefault fills it in.
std::string OutputFolder(const std::string& stored) {
    return stored.empty() ? DefaultOutputFolder() : stored;
}

}  // namespace

std::string RipOutputPath(const Settings& settings, const TrackTags& tags,
                          OutputClaim* createdFolders) {
    std::string path = OutputFolder(settings.rip.outputDirectory) +
                       BuildRipName(settings.rip.outputNameIndex, RipTagsText(tags),
                                    settings.rip.outputNameCustom,
                                    settings.rip.outputNameSeparator) +
                       settings.ripExtension;
    const std::vector<std::string> made = MakeFolderOf(path);
    if (createdFolders) createdFolders->AddCreatedFolders(made);
    return path;
}

ConvertTarget ConvertOutputPath(const Settings& settings, const std::string& sourcePath,
                                const TrackTags& tags) {
    const ConvertSettings& convert = settings.convert;
    const std::string folder =
        convert.bOutputDirectory ? OutputFolder(convert.outputDirectory) : PathFolder(sourcePath);
    std::string name;
    if (convert.bOutputNameIndex) {
        TrackTags named = tags;
        if (named.sourceTitle.empty()) named.sourceTitle = PathFileTitle(sourcePath);
        name = BuildConvertName(convert.outputNameIndex, ConvertTagsText(named));
    } else {
        name = SafeRelativeName(PathFileTitle(sourcePath));
    }
    const std::string& extension = settings.convertExtension;

    ConvertTarget target;
    target.path = folder + name + extension;
    target.claim.AddCreatedFolders(MakeFolderOf(target.path));
    // A name that cannot be claimed for another reason is left to the output's own open,
    // which reports it.
    if (Claim(target, target.path) != ClaimStatus::kTaken) return target;

    switch (convert.ifExists) {
        case IfExists::kNewName: {
            target.logLine = target.path + " exists, add\"n\" by settings.";
            // Never overwrite: keep adding "n" until the name is unused.
            std::string stem = folder + name;
            do {
                stem += "n";
                target.path = stem + extension;
            } while (Claim(target, target.path) == ClaimStatus::kTaken);
            break;
        }
        case IfExists::kOverwrite:
            target.logLine = target.path + " exists, writeover by settings.";
            break;
        case IfExists::kSkip:
            target.logLine = target.path + " exists, skip by settings.";
            target.skip = true;
            break;
        default:
            break;
    }
    return target;
}

}  // namespace quelt
