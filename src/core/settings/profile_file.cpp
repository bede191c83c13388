#include "core/settings/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace quelt {
namespace {

namespace fs = std::filesystem;

// Reads the whole file into `bytes`. Returns "" on success or when the file does not exist,
// else why it cannot be read. Special files are refused without waiting on them.
std::string ReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? "" : std::strerror(errno);
    std::string error;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        error = std::strerror(errno);
    else if (!S_ISREG(info.st_mode))
        error = "not a regular file";
    else if (static_cast<unsigned long long>(info.st_size) > kProfileSizeMax)
        error = "larger than " + std::to_string(kProfileSizeMax >> 20) + " MB";
    if (error.empty()) {
        bytes.reserve(static_cast<size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = std::strerror(errno);
            if (n <= 0) break;
            bytes.append(chunk, static_cast<size_t>(n));
            if (bytes.size() > kProfileSizeMax) {  // grew while being read
                error = "larger than " + std::to_string(kProfileSizeMax >> 20) + " MB";
                break;
            }
        }
    }
    ::close(fd);
    if (!error.empty()) bytes.clear();
    return error;
}

// A new, empty temporary file beside `target`, created with 0666 less umask (as a new file
// would be); -1 when none can be made.
int CreateTemporaryBeside(const std::string& target, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes the whole text beside the file and renames it over the file.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::path target(path);
    // A settings file that is a symbolic link (kept in a dotfiles folder, say) stays one: the
    // file it points to is replaced, not the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    std::string temp;
    int fd = CreateTemporaryBeside(target.string(), temp);
    if (fd < 0) return false;
    bool ok = true;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    const char* data = text.data();
    size_t left = text.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

int ParseDecimalInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

const ProfileText& ProfileFile::Text() const {
    if (!loaded_) {
        std::string bytes;
        readError_ = ReadWholeFile(path_, bytes);
        text_ = ProfileText(bytes);
        loaded_ = true;
    }
    return text_;
}

const std::string& ProfileFile::readError() const {
    Text();
    return readError_;
}

std::string ProfileFile::ReadString(const std::string& section, const std::string& key) const {
    return Text().Find(section, key).value_or(std::string());
}

int ProfileFile::ReadInt(const std::string& section, const std::string& key) const {
    return ParseDecimalInt(ReadString(section, key));
}

void ProfileFile::WriteString(const std::string& section, const std::string& key,
                              const std::string& text) {
    WriteEntries({{section, key, text}});
}

void ProfileFile::WriteInt(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

bool ProfileFile::WriteEntries(const std::vector<ProfileEntry>& entries) {
    if (!readError().empty()) return false;
    ProfileText changed = Text();
    changed.Store(entries);
    if (!ReplaceFile(path_, changed.Text())) return false;
    text_ = std::move(changed);
    return true;
}

std::vector<std::string> ProfileFile::Sections() const { return Text().Sections(); }

std::vector<std::pair<std::string, std::string>> ProfileFile::Entries(
    const std::string& section) const {
    return Text().Entries(section);
}

}  // namespace quelt
