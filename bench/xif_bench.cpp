// Benchmarks: what libxif adds to a property call on the reference host,
// and what the reference host's flashes and property sets cost.
#include "stream.h"

#include <benchmark/benchmark.h>

namespace {

using namespace xif::bench;

// ---- the reference host ----

// The temperatures of successive iterations differ, so that no cache of the
// host answers from an earlier iteration: every iteration is a new state.
double new_state_temperature(int64_t k) {
    return 220.0 + 1e-3 * static_cast<double>(k % 1000);
}

void FlashTP_NaturalGas(benchmark::State& st) {
    Stream s = natural_gas();
    int64_t k = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(s.flash(2, new_state_temperature(++k), 40e5));
}
BENCHMARK(FlashTP_NaturalGas);

// Each flash starts from the K-values that the last one retained, as along
// an exchanger's curve.
void FlashTP_NaturalGas_Retained(benchmark::State& st) {
    Stream s = natural_gas();
    int64_t& retention = XIF_HXIPP.word[XIF_IPP_RETENTION - 1];
    const int64_t kept = retention;
    retention = 1;
    s.flash(2, 220.0, 40e5, 1);
    int64_t k = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(s.flash(2, new_state_temperature(++k), 40e5, 1));
    retention = kept;
}
BENCHMARK(FlashTP_NaturalGas_Retained);

void FlashPH_NaturalGas(benchmark::State& st) {
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    const double h = s.svec[s.nc + 3];
    for (auto _ : st)
        benchmark::DoNotOptimize(s.flash(1, 40e5, h));
}
BENCHMARK(FlashPH_NaturalGas);

void FlashTP_WaterHydrocarbon_ThreePhase(benchmark::State& st) {
    // Just above the three-phase temperature: vapour, hydrocarbon and water.
    Stream s({"WATER", "NC6", "NC7"}, {0.4, 0.4, 0.2}, 350.0, 101325.0, 3);
    if (s.flash(2, 345.0, 101325.0) != 1) {
        st.SkipWithError("the three-phase flash did not converge");
        return;
    }
    for (auto _ : st)
        benchmark::DoNotOptimize(s.flash(2, 345.0, 101325.0));
}
BENCHMARK(FlashTP_WaterHydrocarbon_ThreePhase);

void PropertySet_NaturalGas(benchmark::State& st) {
    Stream s = natural_gas();
    int64_t k = 0;
    for (auto _ : st) {
        st.PauseTiming();
        s.flash(2, new_state_temperature(++k), 40e5);
        st.ResumeTiming();
        benchmark::DoNotOptimize(property_set(s));
    }
}
BENCHMARK(PropertySet_NaturalGas);

// The same state again: the host's caches answer.
void PropertySet_NaturalGas_Repeated(benchmark::State& st) {
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    for (auto _ : st)
        benchmark::DoNotOptimize(property_set(s));
}
BENCHMARK(PropertySet_NaturalGas_Repeated);

void FlashAndPropertySet_NaturalGas(benchmark::State& st) {
    Stream s = natural_gas();
    int64_t k = 0;
    for (auto _ : st) {
        s.flash(2, new_state_temperature(++k), 40e5);
        benchmark::DoNotOptimize(property_set(s));
    }
}
BENCHMARK(FlashAndPropertySet_NaturalGas);

void Curve100_NaturalGas(benchmark::State& st) {
    Stream s = natural_gas();
    for (auto _ : st) {
        for (int k = 0; k < 100; ++k) {
            s.flash(2, 150.0 + 2.0 * k, 40e5);
            benchmark::DoNotOptimize(property_set(s));
        }
    }
}
BENCHMARK(Curve100_NaturalGas)->Unit(benchmark::kMillisecond);

// ---- what libxif adds: the routine against the same monitor call made
// directly on the same phase record ----

// With `fresh`, every iteration is at a new temperature (the phase records
// stay those of the flash), so that the host evaluates the phase anew rather
// than answer from its caches.
void Through(benchmark::State& st, Routine r, int64_t phase, bool fresh) {
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    int64_t k = 0;
    for (auto _ : st) {
        if (fresh) s.svec[s.nc + 1] = new_state_temperature(++k);
        benchmark::DoNotOptimize(through(s, r, phase));
    }
}

void Direct(benchmark::State& st, Monitor m, int64_t slot, bool fresh) {
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    int64_t k = 0;
    for (auto _ : st) {
        if (fresh) s.svec[s.nc + 1] = new_state_temperature(++k);
        benchmark::DoNotOptimize(direct(s, m, slot));
    }
}

BENCHMARK_CAPTURE(Through, Viscosity_Vapour, XIF_HXBVIS, 2, false);
BENCHMARK_CAPTURE(Direct, Viscosity_Vapour, EVAL_VISCV, 4, false);
BENCHMARK_CAPTURE(Through, Viscosity_Liquid, XIF_HXBVIS, 4, false);
BENCHMARK_CAPTURE(Direct, Viscosity_Liquid, EVAL_VISCL, 2, false);
BENCHMARK_CAPTURE(Through, Conductivity_Vapour, XIF_HXBTHC, 2, false);
BENCHMARK_CAPTURE(Direct, Conductivity_Vapour, EVAL_TCONV, 4, false);
BENCHMARK_CAPTURE(Through, SurfaceTension_Liquid, XIF_HXBSFT, 4, false);
BENCHMARK_CAPTURE(Direct, SurfaceTension_Liquid, EVAL_SRFTEN, 2, false);
BENCHMARK_CAPTURE(Through, Viscosity_Vapour_NewState, XIF_HXBVIS, 2, true);
BENCHMARK_CAPTURE(Direct, Viscosity_Vapour_NewState, EVAL_VISCV, 4, true);
BENCHMARK_CAPTURE(Through, Viscosity_Liquid_NewState, XIF_HXBVIS, 4, true);
BENCHMARK_CAPTURE(Direct, Viscosity_Liquid_NewState, EVAL_VISCL, 2, true);
BENCHMARK_CAPTURE(Through, Conductivity_Vapour_NewState, XIF_HXBTHC, 2, true);
BENCHMARK_CAPTURE(Direct, Conductivity_Vapour_NewState, EVAL_TCONV, 4, true);
BENCHMARK_CAPTURE(Through, SurfaceTension_Liquid_NewState, XIF_HXBSFT, 4, true);
BENCHMARK_CAPTURE(Direct, SurfaceTension_Liquid_NewState, EVAL_SRFTEN, 2, true);

void Through_Enthalpy_Vapour(benchmark::State& st) {
    Through(st, XIF_HXBNTH, 2, false);
}
BENCHMARK(Through_Enthalpy_Vapour);

void Direct_Enthalpy_Vapour(benchmark::State& st) {
    Stream s = natural_gas();
    s.flash(2, 220.0, 40e5);
    const int64_t n = slot_count(4), code = 1;
    int64_t ierr = 0;
    double h, cp;
    for (auto _ : st) {
        EVAL_ENTHV(&s.svec[s.nc + 1], &s.svec[s.nc + 2], slot_x(4), &n, slot_idx(4), XIF_HXIPP.word,
                   &XIF_HXIPP.word[22], &XIF_HXIPP.word[20], &code, &h, &cp, &ierr);
        benchmark::DoNotOptimize(h);
    }
}
BENCHMARK(Direct_Enthalpy_Vapour);

} // namespace

BENCHMARK_MAIN();
