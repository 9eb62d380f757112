// The last N entries of a cache, the oldest replaced first.
#pragma once

#include <array>
#include <cstddef>

namespace xif::refhost {

template <class Entry, std::size_t N> class Recent {
  public:
    // The entry to fill next: the oldest.
    Entry& take() {
        Entry& e = entry_[next_];
        next_ = (next_ + 1) % N;
        return e;
    }
    // The newest entry that `match` accepts, or nullptr; the newest first, as
    // the entry just filled is the likeliest to be asked for again.
    template <class Match> const Entry* find(Match match) const {
        for (std::size_t k = 1; k <= N; ++k) {
            const Entry& e = entry_[(next_ + N - k) % N];
            if (match(e)) return &e;
        }
        return nullptr;
    }
    void clear() { *this = Recent{}; }

  private:
    std::array<Entry, N> entry_{};
    std::size_t next_ = 0;
};

} // namespace xif::refhost
