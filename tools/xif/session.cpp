#include "session.h"

#include <xif/refhost.h>
#include <xif/xif.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace xif::cli {

namespace {

constexpr int64_t kIdWidth = 16;

std::vector<char> id_array(const std::vector<std::string>& ids) {
    std::vector<char> a(ids.size() * kIdWidth, ' ');
    for (size_t k = 0; k < ids.size(); ++k)
        std::memcpy(a.data() + k * kIdWidth, ids[k].data(),
                    std::min<size_t>(ids[k].size(), kIdWidth));
    return a;
}

} // namespace

std::string host_message() {
    char text[512];
    const int64_t width = sizeof text;
    int64_t length = 0;
    XIFHOST_MESSAGE(text, &width, &length);
    return std::string(text, static_cast<size_t>(length));
}

Session::Session(const Options& o) : ids_(o.components), flows_(o.flows) {
    if (ids_.empty()) throw InputError("no components given (--components ID,ID,...)");
    if (flows_.size() != ids_.size())
        throw InputError("--flows gives " + std::to_string(flows_.size()) + " flows for " +
                         std::to_string(ids_.size()) + " components");
    for (size_t k = 0; k < flows_.size(); ++k)
        if (!std::isfinite(flows_[k]) || flows_[k] < 0.0)
            throw InputError("flow of " + ids_[k] + " must be a finite number, not negative");
    int64_t ierr = 0;
    const int64_t n = nc(), width = kIdWidth;
    std::vector<char> ids = id_array(ids_);
    XIFHOST_OPEN(&n, ids.data(), &width, &ierr);
    if (ierr != 0) throw InputError(host_message());

    // The host's recommended options, then ours on top.
    XIFHOST_RECOMMEND(XIF_HXIPP.word, XIF_HXRPP.word, XIF_HXSBD.word, XIF_HXRMSS.word,
                      XIF_HXRMIN.word, &ierr);
    if (ierr != 0) throw InputError(host_message());
    int64_t method;
    if (o.method == "pr")
        method = 1;
    else if (o.method == "srk")
        method = 2;
    else
        throw InputError("unknown --method '" + o.method + "' (pr or srk)");
    for (int side = 0; side < 2; ++side) {
        int64_t* set = XIF_HXIPP.word + 10 * side;
        set[0] = method;
        set[6] = o.three_phase ? 3 : 2;
        set[8] = o.noncondensables.empty() ? 0 : 1;
        set[9] = o.water_tables ? 1 : 0;
    }
    if (!o.noncondensables.empty()) {
        const int64_t k = static_cast<int64_t>(o.noncondensables.size());
        std::vector<char> nonc = id_array(o.noncondensables);
        XIFHOST_NONCONDENSABLES(&k, nonc.data(), &width, &ierr);
        if (ierr != 0) throw InputError(host_message());
    }
    for (const PairParameter& p : o.kij) {
        const std::vector<char> a = id_array({p.a}), b = id_array({p.b});
        XIFHOST_INTERACTION(a.data(), b.data(), &width, &method, &p.kij, &ierr);
        if (ierr != 0) throw InputError("--kij " + p.a + ":" + p.b + ": " + host_message());
    }
    svec_.assign(static_cast<size_t>(XIFHOST_STREAM_SIZE(&n)), 0.0);
}

void Session::set_state(double T, double P) {
    int64_t ierr = 0;
    std::fill(svec_.begin(), svec_.end(), 0.0);
    XIFHOST_STREAM(flows_.data(), &T, &P, svec_.data(), &ierr);
    if (ierr != 0 && !(svec_[nc()] > 0.0 && svec_[nc() + 1] == T && svec_[nc() + 2] == P))
        throw InputError(host_message());
}

int64_t Session::flash(Spec spec, double a, double b, double T_estimate) {
    double* s = svec_.data();
    if (T_estimate > 0.0) XIF_HXBZTP(s, nullptr, nullptr, &T_estimate);
    switch (spec) {
    case Spec::TP:
        XIF_HXBZTP(s, nullptr, nullptr, &a), XIF_HXBZPR(s, nullptr, nullptr, &b);
        break;
    case Spec::PH:
        XIF_HXBZPR(s, nullptr, nullptr, &a), XIF_HXBZNT(s, nullptr, nullptr, &b);
        break;
    case Spec::PVF:
        XIF_HXBZPR(s, nullptr, nullptr, &a), XIF_HXBZVF(s, nullptr, nullptr, &b);
        break;
    case Spec::TH:
        XIF_HXBZTP(s, nullptr, nullptr, &a), XIF_HXBZNT(s, nullptr, nullptr, &b);
        break;
    case Spec::TVF:
        XIF_HXBZTP(s, nullptr, nullptr, &a), XIF_HXBZVF(s, nullptr, nullptr, &b);
        break;
    }
    int64_t side = 0, point = 0, type = static_cast<int64_t>(spec), update = 0, status = 0;
    XIF_HXBFLS(s, nullptr, &side, &point, &type, &update, &status);
    return status;
}

} // namespace xif::cli
