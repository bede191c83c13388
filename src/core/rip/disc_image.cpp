#include "core/rip/disc_image.h"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "core/jobs/component_error.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The word after a keyword: a quoted text or a bare word.
std::string NameAfter(const std::string& line, std::size_t from) {
    std::size_t i = line.find_first_not_of(" \t", from);
    if (i == std::string::npos) return {};
    if (line[i] == '"') {
        std::size_t end = line.find('"', i + 1);
        return line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
    std::size_t end = line.find_first_of(" \t", i);
    return line.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

struct CueFile {
    std::string name, type;
};

struct CueSheet {
    std::vector<CueFile> files;
    std::string cdTextFile;
    std::vector<std::string> lines;
};

CueSheet ReadCue(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ComponentError("The disc image " + path + " cannot be opened.");
    CueSheet cue;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        cue.lines.push_back(line);
        std::string trimmed = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
        std::string upper = trimmed;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (upper.rfind("FILE ", 0) == 0 || upper.rfind("FILE\t", 0) == 0) {
            CueFile file;
            file.name = NameAfter(trimmed, 4);
            std::size_t afterName = trimmed.rfind(file.name) + file.name.size() + 1;
            std::string rest = afterName < trimmed.size() ? trimmed.substr(afterName) : "";
            std::istringstream words(rest);
            words >> file.type;
            file.type = Lower(file.type);
            cue.files.push_back(file);
        } else if (upper.rfind("CDTEXTFILE", 0) == 0) {
            cue.cdTextFile = NameAfter(trimmed, 10);
        }
    }
    return cue;
}

fs::path Beside(const std::string& cuePath, const std::string& name) {
    fs::path p(name);
    return p.is_absolute() ? p : fs::path(cuePath).parent_path() / p;
}

std::string Quoted(const std::string& line, const std::string& oldName, const std::string& newName) {
    std::string out = line;
    std::size_t at = out.find(oldName);
    if (at != std::string::npos) out.replace(at, oldName.size(), newName);
    return out;
}

}  // namespace

bool LooksLikeDiscImage(const std::string& path) {
    std::string ext = Lower(fs::path(path).extension().string());
    return ext == ".cue" || ext == ".toc" || ext == ".nrg";
}

const char* DiscImage::KindName() const {
    switch (kind_) {
        case DiscImageKind::kCue: return "CUE/BIN";
        case DiscImageKind::kToc: return "TOC";
        case DiscImageKind::kNrg: return "NRG";
    }
    return "";
}

DiscImage::DiscImage(const std::string& path) : path_(path), openPath_(path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        throw ComponentError("The disc image " + path + " does not exist.");
    const std::string ext = Lower(fs::path(path).extension().string());
    if (ext == ".nrg") {
        kind_ = DiscImageKind::kNrg;
        return;
    }
    if (ext == ".toc") {
        kind_ = DiscImageKind::kToc;
        std::ifstream in(path);
        std::set<std::string> files;
        std::string line;
        while (std::getline(in, line)) {
            for (const char* key : {"AUDIOFILE", "DATAFILE", "FILE"}) {
                std::size_t at = line.find(key);
                if (at == std::string::npos) continue;
                if (at > 0 && std::isalpha(static_cast<unsigned char>(line[at - 1]))) continue;
                std::string name = NameAfter(line, at + std::string(key).size());
                if (!name.empty() && name != "-") files.insert(name);
                break;
            }
        }
        if (files.size() > 1)
            throw ComponentError("The disc image " + path +
                                 " uses several data files; only images with one data file can be read correctly.");
        return;
    }
    if (ext != ".cue")
        throw ComponentError(path + " is not a disc image (.cue, .toc or .nrg).");
    kind_ = DiscImageKind::kCue;

    CueSheet cue = ReadCue(path);
    if (cue.files.empty())
        throw ComponentError("The cue sheet " + path + " names no image file.");
    if (cue.files.size() > 1)
        throw ComponentError("The cue sheet " + path +
                             " has several FILE lines; only images with one BIN file can be read correctly.");
    const CueFile& file = cue.files.front();
    if (file.type != "binary" && file.type != "motorola")
        throw ComponentError("The cue sheet " + path + " names a " + file.type +
                             " file; only BIN images can be read.");
    const fs::path bin = Beside(path, file.name);
    if (!fs::is_regular_file(bin, ec))
        throw ComponentError("The image file " + bin.string() + " named by " + path + " does not exist.");

    const fs::path cuePath(path);
    const fs::path expected = cuePath.parent_path() / (cuePath.stem().string() + ".bin");
    if (fs::equivalent(bin, expected, ec)) return;

    // Stage the cue sheet beside links named the way libcdio looks for them.
    std::string tmpl = (fs::temp_directory_path() / "quelt-image-XXXXXX").string();
    std::vector<char> buffer(tmpl.begin(), tmpl.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw ComponentError("The disc image " + path + " cannot be prepared for reading.");
    stagingDir_ = buffer.data();
    const std::string stem = "image";
    fs::create_symlink(fs::absolute(bin), fs::path(stagingDir_) / (stem + ".bin"), ec);
    std::string cdText;
    if (!cue.cdTextFile.empty()) {
        fs::create_symlink(fs::absolute(Beside(path, cue.cdTextFile)),
                           fs::path(stagingDir_) / (stem + ".cdt"), ec);
    }
    std::ofstream out(fs::path(stagingDir_) / (stem + ".cue"));
    for (const auto& line : cue.lines) {
        std::string upper = line;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (upper.find("CDTEXTFILE") != std::string::npos)
            out << Quoted(line, cue.cdTextFile, stem + ".cdt") << "\n";
        else if (upper.find("FILE") != std::string::npos && line.find(file.name) != std::string::npos)
            out << Quoted(line, file.name, stem + ".bin") << "\n";
        else
            out << line << "\n";
    }
    if (!out) {
        // The destructor does not run for a constructor that throws: remove the staging
        // folder here so that a failed image leaves nothing behind.
        out.close();
        fs::remove_all(stagingDir_, ec);
        throw ComponentError("The disc image " + path + " cannot be prepared for reading.");
    }
    openPath_ = (fs::path(stagingDir_) / (stem + ".cue")).string();
}

DiscImage::~DiscImage() {
    if (stagingDir_.empty()) return;
    std::error_code ec;
    fs::remove_all(stagingDir_, ec);
}

}  // namespace quelt
