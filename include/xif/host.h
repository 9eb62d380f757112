/*
 * The host contract: the data blocks and routines that xif imports from the
 * host process simulator. A host (the reference host libxifhost, the
 * scripted test host, or a real simulator) defines every name below with C
 * linkage; libxif leaves them undefined and they are resolved when the
 * process loads.
 *
 * Every block is an array of 64-bit words numbered from 1: word k lies at
 * byte 8 (k - 1) and holds an int64_t or a double. Every routine argument is
 * passed by reference except the name length of CAT_IFCMNC.
 */
#ifndef XIF_HOST_H
#define XIF_HOST_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One word of a host block: an integer or a real, by context. */
typedef union xif_word {
    int64_t i;
    double r;
} xif_word;

/* Smallest number of words that xif reads of each fixed-size block. */
enum {
    XIF_NCOMP_WORDS = 1,
    XIF_STWKWK_WORDS = 23,
    XIF_IPOFF1_WORDS = 457,
    XIF_IPOFF4_WORDS = 3,
    XIF_RGLOB_WORDS = 1,
    XIF_STWORK_WORDS = 62,
    XIF_HXPKV_WORDS = 15
};

/* ---- Data blocks ---- */

/* The data store; every index below points into it. */
extern xif_word CAT_PLEX[];
/* Word 1: NC, the number of components. */
extern xif_word CAT_NCOMP[];
/* 1 R, start of the flash real work area; 2 I, start of the integer work
 * area; 3 c, entries of the flash component list; 19, 20, 21, 23 flash
 * temperature, pressure, vapour fraction, first liquid's share of the liquid. */
extern xif_word CAT_STWKWK[];
/* Offsets of component parameters: 14 vapour-subset exclusion parameter,
 * 306 molecular weights, 457 the parameter summed by flow scaling. */
extern xif_word CAT_IPOFF1[];
/* Offset 3: two-word component identifiers. */
extern xif_word CAT_IPOFF4[];
/* Word 1: temperature estimate for a P-H flash when XIF_HXIPP(26) > 1. */
extern xif_word CAT_RGLOB[];
/* Offsets of the flash work arrays: 1, 2 retained-slot sizes; 7, 8 two
 * per-component arrays (K-values); 15..19 whole, total-liquid, first-liquid,
 * second-liquid and vapour mole fractions; 20 critical-point work; 25, 30
 * real and integer flash work; 26 (integer area) flash component list; 29
 * (integer area) the two stream lists; 47..62 per-phase values in groups of
 * four (vapour, total liquid, first liquid, second liquid), 59..62 phase
 * molecular weights. */
extern xif_word VEC_STWORK[];
/* Phase slots s = 1..5: word s the record's component count (-1 not
 * wanted), 5 + s the start of its component-number list, 10 + s the start of
 * its phase record in CAT_PLEX. */
extern xif_word RIG_HXPKV[];

/* ---- Data-store routines ---- */

/* Index L of the identifier list keyed by key: CAT_PLEX(L) entries, entry e
 * the two words CAT_PLEX(L + 2e - 1), CAT_PLEX(L + 2e). */
int64_t CAT_LOCATI(const int64_t* key);
/* Offset k of a component parameter by name ("MW", "PC", "TC", "VLSTD",
 * "TB", "OMEGA", "MUP"): CAT_PLEX(k + i) is its value for component i. */
int64_t CAT_IFCMNC(const char* name, size_t name_len);
/* The same for a two-word, blank-padded name ("VLST    D       "). */
int64_t CAT_IFCMN(const int64_t* name);

/* ---- Stream library: (SVEC, m, list1, list2, out) ---- */

void VEC_TOTFLO(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, double* out);
void VEC_TOTMAS(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, double* out);
void VEC_TOTENT(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, double* out);
void VEC_SETH(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, double* out);

/* ---- Utilities ---- */

/* 1-based position of water in list[0..count-1]; no position when absent. */
int64_t AID_IDXH2O(const int64_t* list, const int64_t* count);
/* Point update of an exchanger side. */
void CONV_PEQPT1(int64_t* word);

/* ---- Property monitors ---- */

#define XIF_MONITOR_ARGS                                                                           \
    const double *T, const double *P, const double *x, const int64_t *n, const int64_t *idx,       \
        const int64_t *G, const int64_t *D

void EVAL_VISCL(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_VISCV(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_TCONL(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_TCONV(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_DIFCOL(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_DIFCOV(XIF_MONITOR_ARGS, double* value, int64_t* ierr);
void EVAL_SRFTEN(XIF_MONITOR_ARGS, double* value, int64_t* ierr);

void EVAL_VOLL(XIF_MONITOR_ARGS, const int64_t* one, double* vol, double* second, int64_t* ierr);
void EVAL_VOLV(XIF_MONITOR_ARGS, const int64_t* one, double* vol, double* second, int64_t* ierr);

/* code 1: r1 = molar enthalpy; code 2: r2 = molar heat capacity. */
void EVAL_ENTHL(XIF_MONITOR_ARGS, const int64_t* B, const int64_t* code, double* r1, double* r2,
                int64_t* ierr);
void EVAL_ENTHV(XIF_MONITOR_ARGS, const int64_t* B, const int64_t* code, double* r1, double* r2,
                int64_t* ierr);

#define XIF_THERMO_FLAGS_RESULTS                                                                   \
    const int64_t *f1, const int64_t *f2, const int64_t *f3, const int64_t *f4, const int64_t *f5, \
        double *r1, double *r2, double *r3, double *r4, double *r5, double *r6, double *r7,        \
        double *r8, double *r9, double *r10

/* Phase thermo monitors: a flag of 1 asks for the result word in the same
 * position (1..5). */
void EVAL_VMTHRM(XIF_MONITOR_ARGS, const int64_t* B, XIF_THERMO_FLAGS_RESULTS, int64_t* ierr);
void EVAL_LMTHMY(const double* T, const double* P, const double* x, const double* y,
                 const int64_t* n, const int64_t* idx, const int64_t* G, const int64_t* D,
                 const int64_t* B, XIF_THERMO_FLAGS_RESULTS, int64_t* ierr);
/* Pure-component thermo monitors (vapour and liquid). */
void EVAL_VTHRM(const double* T, const double* P, const int64_t* one, const int64_t* component,
                const int64_t* G, const int64_t* D, const int64_t* B, XIF_THERMO_FLAGS_RESULTS,
                int64_t* ierr);
void EVAL_LTHRM(const double* T, const double* P, const int64_t* one, const int64_t* component,
                const int64_t* G, const int64_t* D, const int64_t* B, XIF_THERMO_FLAGS_RESULTS,
                int64_t* ierr);

/* ---- Base models ---- */

/* lnP = ln of the pure component's vapour pressure at T. */
void KERN_PL001(const double* T, const int64_t* one, const int64_t* component, const int64_t* one2,
                const int64_t* one3, const int64_t* D, double* lnP, double* second);

/* ---- Flash ---- */

void EQUI_FLASH(double* SVEC, const int64_t* m, xif_word* list1, xif_word* list2, const int64_t* G,
                const int64_t* IFTYPE, const int64_t* o7, const int64_t* o8, const int64_t* o9,
                const double* r10, double* spec1, double* spec2, double* estimate,
                const int64_t* w22, const int64_t* D, const int64_t* mode, const int64_t* one,
                xif_word* rwork, xif_word* iwork, int64_t* code);
/* Flash status of a flash code; 1 means success. */
int64_t EQUI_FLSTAT(const int64_t* zero, const int64_t* code);
/* Critical temperature and pressure of the mixture (n, x, idx). */
void EQUI_CRTCAL(const int64_t* n, const double* x, const int64_t* idx, xif_word* rwork, double* Tc,
                 double* Pc, double* o7, double* o8, int64_t* ierr);

#ifdef __cplusplus
}
#endif

#endif /* XIF_HOST_H */
