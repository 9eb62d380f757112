// Output files written whole or not at all: the text goes to a temporary
// file beside the target, which is renamed over it only once complete.
#pragma once

#include <fstream>
#include <string>

namespace xif::cli {

class OutputFile {
  public:
    // Opens the temporary file at once, so that an unwritable path is an
    // error before any work is done (InputError naming the path).
    explicit OutputFile(std::string path);
    ~OutputFile(); // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes the whole text, then renames it into place (InputError on failure).
    void commit(const std::string& text);

    const std::string& path() const { return path_; }

  private:
    std::string path_, temp_;
    std::ofstream out_;
    bool committed_ = false;
};

} // namespace xif::cli
