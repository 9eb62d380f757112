#include "files.h"

#include "session.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace xif::cli {

namespace fs = std::filesystem;

namespace {

std::string why(const std::string& path, const std::string& reason) {
    return "cannot write '" + path + "': " + reason;
}

} // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    if (path_.empty()) throw InputError("an output file name is empty");
    const fs::path target(path_);
    std::error_code ec;
    if (fs::is_directory(target, ec)) throw InputError(why(path_, "it is a directory"));
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(dir, ec)) throw InputError(why(path_, "no directory " + dir.string()));
    // A hidden name beside the target, so that the rename stays on one file
    // system; the random part keeps two runs apart.
    std::random_device rd;
    for (int attempt = 0; attempt < 16 && !out_.is_open(); ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += ".partial-";
        name += std::to_string(rd() % 1000000);
        const fs::path temp = dir / name;
        if (fs::exists(temp, ec)) continue;
        out_.open(temp, std::ios::binary | std::ios::trunc);
        if (out_.is_open()) temp_ = temp.string();
    }
    if (!out_.is_open()) throw InputError(why(path_, std::strerror(errno)));
}

OutputFile::~OutputFile() {
    if (out_.is_open()) out_.close();
    std::error_code ec;
    if (!committed_ && !temp_.empty()) fs::remove(temp_, ec);
}

void OutputFile::commit(const std::string& text) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.flush();
    const bool written = out_.good();
    out_.close();
    if (!written || out_.fail()) throw InputError(why(path_, "the write failed"));
    std::error_code ec;
    fs::rename(temp_, path_, ec);
    if (ec) throw InputError(why(path_, ec.message()));
    committed_ = true;
}

} // namespace xif::cli
