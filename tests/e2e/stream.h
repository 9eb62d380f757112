// A stream on the reference host, driven through xif's exported routines
// the way an exchanger program drives it.
#pragma once

#include <xif/refhost.h>
#include <xif/xif.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace xif::e2e {

class Stream {
  public:
    // Opens the host for `ids` with the recommended options; `flows` in kmol/s.
    // Without `check` an opening flash that fails is only left in stream_error.
    Stream(const std::vector<std::string>& ids, std::vector<double> flows, double T = 300.0,
           double P = 101325.0, bool check = true)
        : nc(static_cast<int64_t>(ids.size())), flows_(std::move(flows)) {
        std::vector<char> a(ids.size() * 8, ' ');
        for (size_t k = 0; k < ids.size(); ++k)
            std::memcpy(&a[k * 8], ids[k].data(), ids[k].size());
        int64_t n = nc, width = 8, ierr = 0;
        XIFHOST_OPEN(&n, a.data(), &width, &ierr);
        EXPECT_EQ(ierr, 0) << message();
        XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                          XIF_HXRMIN.word, &ierr);
        svec.assign(static_cast<size_t>(XIFHOST_STREAM_SIZE(&n)), 0.0);
        XIFHOST_STREAM(flows_.data(), &T, &P, svec.data(), &stream_error);
        EXPECT_TRUE(!check || stream_error == 0) << message();
    }

    static std::string message() {
        char text[256];
        int64_t width = sizeof text, length = 0;
        XIFHOST_MESSAGE(text, &width, &length);
        return std::string(text, static_cast<size_t>(length));
    }

    // Flash type 1..5 (P-H, T-P, P-vf, T-H, T-vf) with its two set values
    // written into the stream vector first; returns the flash status.
    int64_t flash(int64_t type, double a, double b) {
        using Set = void (*)(double*, void*, void*, const double*);
        static constexpr Set kSet[6][2] = {{nullptr, nullptr},       {XIF_HXBZPR, XIF_HXBZNT},
                                           {XIF_HXBZTP, XIF_HXBZPR}, {XIF_HXBZPR, XIF_HXBZVF},
                                           {XIF_HXBZTP, XIF_HXBZNT}, {XIF_HXBZTP, XIF_HXBZVF}};
        kSet[type][0](svec.data(), nullptr, nullptr, &a);
        kSet[type][1](svec.data(), nullptr, nullptr, &b);
        int64_t side = 0, point = 0, update = 0, status = 0;
        XIF_HXBFLS(svec.data(), nullptr, &side, &point, &type, &update, &status);
        return status;
    }

    using Routine = void (*)(double*, void*, int64_t*, int64_t*, int64_t*, double*, int64_t*);
    // A property through an exported routine and its error code, as they come.
    double call(Routine r, int64_t phase, int64_t basis, int64_t& ierr) {
        int64_t side = 0;
        double v = 0.0;
        r(svec.data(), nullptr, &side, &phase, &basis, &v, &ierr);
        return v;
    }
    // A property through an exported routine; NaN where absent or failed.
    double get(Routine r, int64_t phase, int64_t basis = 0) {
        int64_t ierr = 0;
        const double v = call(r, phase, basis, ierr);
        return ierr == 0 && v < XIF_HXRMSS.word[0] ? v : std::numeric_limits<double>::quiet_NaN();
    }

    // Mole fractions of a phase.
    std::vector<double> composition(int64_t phase) {
        std::vector<double> x(static_cast<size_t>(nc), 0.0);
        int64_t side = 0, basis = 0, ierr = 0, n = nc;
        XIF_HXBCMP(svec.data(), nullptr, &side, &phase, &basis, x.data(), &n, &ierr);
        return x;
    }

    double T() const { return svec[nc + 1]; }
    double P() const { return svec[nc + 2]; }
    double H() const { return svec[nc + 3]; }
    double vf() const { return svec[nc + 4]; }

    int64_t nc = 0;
    std::vector<double> svec;
    int64_t stream_error = 0; // the opening flash's error status

  private:
    std::vector<double> flows_;
};

} // namespace xif::e2e
