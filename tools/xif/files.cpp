#include "files.h"

#include "session.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace xif::cli {

namespace {

std::string why(const std::string& path) {
    return "cannot write '" + path + "': " + std::strerror(errno);
}

} // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    if (path_.empty()) throw InputError("an output file name is empty");
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        throw InputError("cannot write '" + path_ + "': it is a directory");
    const size_t slash = path_.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::string name = dir + "." + base + ".partial-XXXXXX";
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    fd_ = ::mkstemp(buf.data());
    if (fd_ < 0) throw InputError(why(path_));
    temp_ = buf.data();
    // mkstemp makes the file private; give it the permissions of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void OutputFile::commit(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw InputError(why(path_));
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd_) != 0 && errno != EINVAL) throw InputError(why(path_));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw InputError(why(path_));
    if (::rename(temp_.c_str(), path_.c_str()) != 0) throw InputError(why(path_));
    committed_ = true;
}

} // namespace xif::cli
