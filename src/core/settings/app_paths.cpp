#include "core/settings/app_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace quelt {
namespace {

namespace fs = std::filesystem;

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string EnvFolder(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? WithSlash(value) : std::string();
}

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : WithSlash(exe.parent_path().string());
}

std::vector<std::string> DataCandidates() {
    std::vector<std::string> folders;
    if (std::string env = EnvFolder("QUELT_DATA_DIR"); !env.empty()) folders.push_back(env);
    if (std::string exe = ExecutableFolder(); !exe.empty())
        folders.push_back(exe + "../share/quelt/");
    folders.push_back(WithSlash(QUELT_INSTALL_DATA_DIR));
    folders.push_back(WithSlash(QUELT_BUILD_DATA_DIR));
    folders.push_back(WithSlash(QUELT_SOURCE_DATA_DIR));
    return folders;
}

}  // namespace

std::string DataFolder(const std::string& relative) {
    std::error_code ec;
    const auto candidates = DataCandidates();
    if (!relative.empty())
        for (const auto& folder : candidates)
            if (fs::exists(folder + relative, ec)) return folder;
    for (const auto& folder : candidates)
        if (fs::is_directory(folder, ec) && fs::exists(folder + "skins", ec)) return folder;
    return WithSlash(QUELT_SOURCE_DATA_DIR);
}

std::string DataFile(const std::string& relative) { return DataFolder(relative) + relative; }

std::string HomeFolder() {
    std::string home = EnvFolder("HOME");
    return home.empty() ? std::string("/tmp/") : home;
}

std::string ConfigFolder() {
    std::string base = EnvFolder("XDG_CONFIG_HOME");
    return (base.empty() ? HomeFolder() + ".config/" : base) + "quelt/";
}

std::string BurnTempFolder() {
    std::string base = EnvFolder("XDG_CACHE_HOME");
    return (base.empty() ? HomeFolder() + ".cache/" : base) + "quelt/Temp/";
}

std::string MusicFolder() {
    std::string music = EnvFolder("XDG_MUSIC_DIR");
    return music.empty() ? HomeFolder() + "Music/" : music;
}

std::string DefaultOutputFolder() { return MusicFolder() + "zqr_output/"; }

std::string DialogStartFolder() {
    std::error_code ec;
    const std::string music = MusicFolder();
    return fs::is_directory(music, ec) ? music : HomeFolder();
}

}  // namespace quelt
