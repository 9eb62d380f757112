/*
 * Set-up API of the reference host, libxifhost: a host process simulator's
 * data store, flash and property monitors with a real property engine and
 * a compiled-in component databank. A standalone exchanger program calls
 * it before it uses xif:
 *
 *   1. XIFHOST_OPEN with the stream's components (databank ids);
 *   2. XIFHOST_RECOMMEND, and copy the recommended option words into the
 *      exported blocks XIF_HXIPP, XIF_HXRPP, XIF_HXSBD, XIF_HXRMSS and
 *      XIF_HXRMIN (change what you like: the meanings are in docs/host.md);
 *   3. XIFHOST_STREAM to fill a stream vector from molar flows, T and P;
 *   4. flash and read properties through xif's exported routines.
 *
 * Callable from C and Fortran: every argument by reference; integers are
 * int64_t, reals double; a character array argument is `count` blank-padded
 * entries of `width` characters each (Fortran character(len=width) :: a(count)).
 * Units: SI on a kmol basis (K, Pa, kmol/s, J/kmol, m3/kmol, kg/kmol ...).
 * A routine that fails sets *ierr non-zero; XIFHOST_MESSAGE gives the text.
 */
#ifndef XIF_REFHOST_H
#define XIF_REFHOST_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(XIFHOST_BUILDING_LIBRARY)
#define XIFHOST_API __declspec(dllexport)
#else
#define XIFHOST_API __declspec(dllimport)
#endif
#else
#define XIFHOST_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes of the set-up API. */
enum {
    XIFHOST_OK = 0,
    XIFHOST_BAD_ARGUMENT = 1,  /* a count, width, flow, T or P out of range */
    XIFHOST_UNKNOWN_ID = 2,    /* a component id not in the databank */
    XIFHOST_REPEATED_ID = 3,   /* the same component twice */
    XIFHOST_NOT_OPEN = 4,      /* no host opened yet */
    XIFHOST_NOT_IN_STREAM = 5, /* a component that is not one of the stream's */
    XIFHOST_TOO_MANY = 6       /* more components than the host holds (64) */
};

/* The longest component list a host holds. */
#define XIFHOST_MAX_COMPONENTS 64

/* Opens (or reopens) the host for n components, ids[0..n-1] of `width`
 * characters each, in the order of the stream vector. The data store,
 * work areas, phase records and retained flash slots are laid out anew. */
XIFHOST_API void XIFHOST_OPEN(const int64_t* n, const char* ids, const int64_t* width,
                              int64_t* ierr);

/* The last error message, blank-padded to `width`; *length its length. */
XIFHOST_API void XIFHOST_MESSAGE(char* text, const int64_t* width, int64_t* length);

/* Recommended values of the exported blocks' option words for this host:
 * ipp[28] for XIF_HXIPP, rpp[8] for XIF_HXRPP, sbd[4] for XIF_HXSBD,
 * rmss[4] for XIF_HXRMSS and rmin[5] for XIF_HXRMIN. */
XIFHOST_API void XIFHOST_RECOMMEND(int64_t* ipp, double* rpp, int64_t* sbd, double* rmss,
                                   double* rmin, int64_t* ierr);

/* Fills a stream vector of XIFHOST_STREAM_SIZE(n) elements from the
 * component molar flows (kmol/s), temperature (K) and pressure (Pa): the
 * flows, their total, T, P, the molecular weight, and the enthalpy and
 * vapour fraction of a T-P flash. */
XIFHOST_API void XIFHOST_STREAM(const double* flows, const double* T, const double* P, double* svec,
                                int64_t* ierr);

/* Elements of a stream vector for nc components. */
XIFHOST_API int64_t XIFHOST_STREAM_SIZE(const int64_t* nc);

/* The components kept out of the liquids when the non-condensable flash
 * option is on; they form the vapour subset (identifier list of key 1). */
XIFHOST_API void XIFHOST_NONCONDENSABLES(const int64_t* n, const char* ids, const int64_t* width,
                                         int64_t* ierr);

/* The databank: number of components, and entry i (1-based): id, name and
 * formula blank-padded to `width`, molecular weight (kg/kmol), critical
 * temperature (K) and pressure (Pa). */
XIFHOST_API int64_t XIFHOST_DATABANK_SIZE(void);
XIFHOST_API void XIFHOST_DATABANK_ENTRY(const int64_t* i, char* id, char* name, char* formula,
                                        const int64_t* width, double* mw, double* tc, double* pc,
                                        int64_t* ierr);

/* Entry i's melting point and normal boiling point (K): below its melting
 * point a liquid of mostly this component would be solid, and its
 * properties come from correlations taken beyond their range. */
XIFHOST_API void XIFHOST_DATABANK_POINTS(const int64_t* i, double* tm, double* tb, int64_t* ierr);

/* The binary interaction parameter of entries i and j for method 1
 * (Peng-Robinson) or 2 (Soave-Redlich-Kwong), and *known 1 where the
 * databank carries a value for the pair, 0 where it stands at 0 for want of
 * one: such a pair may split into liquids that in reality mix. */
XIFHOST_API void XIFHOST_DATABANK_PAIR(const int64_t* i, const int64_t* j, const int64_t* method,
                                       double* kij, int64_t* known, int64_t* ierr);

/* Sets the binary interaction parameter of two of the open host's
 * components (ids of `width` characters) for method 1 (Peng-Robinson), 2
 * (Soave-Redlich-Kwong) or 0 (both), in place of the databank's, until the
 * host is opened again. kij lies between -1 and 1. The host's kept results
 * are dropped: fill stream vectors (XIFHOST_STREAM) after it. */
XIFHOST_API void XIFHOST_INTERACTION(const char* id1, const char* id2, const int64_t* width,
                                     const int64_t* method, const double* kij, int64_t* ierr);

#ifdef __cplusplus
}
#endif

#endif /* XIF_REFHOST_H */
