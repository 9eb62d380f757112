/*
 * xif: the exchanger property interface.
 *
 * An exchanger program sets options in the seven exported blocks and calls
 * the 27 exported routines below to flash its process streams and read their
 * phase properties from the host process simulator that has loaded xif.
 *
 * Conventions shared by every routine:
 *  - every argument is passed by reference, scalars included;
 *  - integers are 64-bit signed, reals 64-bit IEEE doubles;
 *  - arrays and blocks are numbered from 1 in the documentation (word k of a
 *    block lies at byte 8 (k - 1));
 *  - values are in the host's units (the reference host: SI on a kmol basis);
 *  - selectors out of range are clipped, never reported: ISIDE other than 0
 *    or 1 is side 0 (except in the flash, where it reuses the options the
 *    last flash copied), IPHASE outside 1..6 is the whole stream, IBASIS other
 *    than 0 or 1 is molar;
 *  - IERR is 0 on success, -1 when the requested phase is absent (VALUE then
 *    holds the missing value XIF_HXRMSS.word[0]), or a host status.
 *
 * Phase codes (IPHASE): 1 whole stream, 2 vapour, 3 total liquid, 4 first
 * liquid, 5 second liquid, 6 vapour subset. Basis (IBASIS): 0 molar, 1 mass.
 *
 * Stream vector (SVEC, NC + 9 elements or more, NC = host component count):
 * 1..NC component molar flows, NC+1 total molar flow, NC+2 temperature,
 * NC+3 pressure, NC+4 enthalpy, NC+5 vapour fraction, NC+9 molecular weight.
 */
#ifndef XIF_XIF_H
#define XIF_XIF_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(XIF_BUILDING_LIBRARY)
#define XIF_API __declspec(dllexport)
#else
#define XIF_API __declspec(dllimport)
#endif
#else
#define XIF_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Exported blocks: the exchanger program writes them before it calls. ---- */

/* Point-update words: word 1 side 0, word 2 side 1 (handed to the host's
 * point update after a flash with IUPDATE 1). */
typedef struct xif_hxsbd {
    int64_t word[4];
} xif_hxsbd;

/* Real flash options. Word 1 (side 0) / 4 (side 1): real flash option;
 * word 2 / 5: one-shot temperature estimate, used by one flash when below
 * the missing value and then reset to it. */
typedef struct xif_hxrpp {
    double word[8];
} xif_hxrpp;

/* Reserved for the caller; never read or written by xif. */
typedef struct xif_hximss {
    int64_t word[4];
} xif_hximss;

/* Reserved for the caller; never read or written by xif. */
typedef struct xif_hxoutp {
    int64_t word[4];
} xif_hxoutp;

/* Integer options. Words 1..10 are the option set of side 0, 11..20 that of
 * side 1, laid out alike:
 *   1..6  property-method group handed to the host (word 2 also keys the
 *         vapour-subset identifier list; word 5 replaces word 1 for a liquid
 *         that is pure water when the water switch is 1)
 *   7, 8, 9  flash integer options (8th, 7th and 9th flash arguments)
 *   10    water switch (1 = pure-water liquids use word 5)
 * Words for both sides:
 *   21 thermal-monitor option, 22 flash option, 23 option handed to every
 *   property monitor, 24/25 data-store indices of the integer/real parts of
 *   the retained flash slots, 26 count of the host stream lists, 27 flash
 *   retention mode (0 never retain; xif sets 2 after a failed flash and
 *   back to 1 after a successful one), 28 unused. */
typedef struct xif_hxipp {
    int64_t word[28];
} xif_hxipp;

/* Word 1: the missing value, answered for an absent phase or undefined
 * quantity; a host result at or above it counts as missing. */
typedef struct xif_hxrmss {
    double word[4];
} xif_hxrmss;

/* Word 1: the smallest meaningful value (volumes at or below it are missing,
 * component fractions below it are reported as 0). */
typedef struct xif_hxrmin {
    double word[5];
} xif_hxrmin;

/* 1-based word numbers of XIF_HXIPP, for side 0; add XIF_IPP_SIDE for side 1. */
enum {
    XIF_IPP_METHOD = 1,        /* 1..6 property-method group */
    XIF_IPP_FLASH_OPT_B = 7,   /* 8th flash argument */
    XIF_IPP_FLASH_OPT_A = 8,   /* 7th flash argument */
    XIF_IPP_FLASH_OPT_C = 9,   /* 9th flash argument */
    XIF_IPP_WATER_SWITCH = 10, /* 1: pure-water liquids use method word 5 */
    XIF_IPP_SIDE = 10,         /* offset of side 1's option set */
    XIF_IPP_THERMO_OPT = 21,
    XIF_IPP_FLASH_OPT_22 = 22,
    XIF_IPP_MONITOR_OPT = 23,
    XIF_IPP_SLOT_INT = 24,
    XIF_IPP_SLOT_REAL = 25,
    XIF_IPP_LIST_COUNT = 26,
    XIF_IPP_RETENTION = 27
};

XIF_API extern xif_hxsbd XIF_HXSBD;
XIF_API extern xif_hxrpp XIF_HXRPP;
XIF_API extern xif_hximss XIF_HXIMSS;
XIF_API extern xif_hxoutp XIF_HXOUTP;
XIF_API extern xif_hxipp XIF_HXIPP;
XIF_API extern xif_hxrmss XIF_HXRMSS;
XIF_API extern xif_hxrmin XIF_HXRMIN;

/* ---- Stream accessors and setters ---- */

/* VALUE receives NC, the host component count, as a 64-bit integer written
 * into its 8 bytes. IERR = 0. */
XIF_API void XIF_HXBNCP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* VALUE = stream temperature SVEC(NC+2). */
XIF_API void XIF_HXBTMP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* VALUE = stream pressure SVEC(NC+3). */
XIF_API void XIF_HXBPRS(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Setters of temperature, pressure, enthalpy and vapour fraction: only SVEC
 * and VALIN are read; nothing else is written. Flash again afterwards. */
XIF_API void XIF_HXBZTP(double* SVEC, void* A2, void* A3, const double* VALIN);
XIF_API void XIF_HXBZPR(double* SVEC, void* A2, void* A3, const double* VALIN);
XIF_API void XIF_HXBZNT(double* SVEC, void* A2, void* A3, const double* VALIN);
XIF_API void XIF_HXBZVF(double* SVEC, void* A2, void* A3, const double* VALIN);

/* ---- Phase fraction, molecular weight and flows ---- */

/* Molar (IBASIS 0) or mass (1) fraction of the phase in the stream; 0 for an
 * absent phase. The presence test of every property routine. */
XIF_API void XIF_HXBFRC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Molecular weight of the stream or phase (kg/kmol). */
XIF_API void XIF_HXBMWT(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Molar (kmol/s) or mass (kg/s) flow of the stream or phase; 0 when absent. */
XIF_API void XIF_HXBMFL(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Rescales the component flows to the mass flow VALIN; FLOWM the molar flow,
 * SUMP the flow-weighted sum of the host component parameter, RATIO the
 * factor applied. SVEC(NC+1) is left unchanged. */
XIF_API void XIF_HXBZMF(double* SVEC, void* SPARE, int64_t* ISIDE, const double* VALIN,
                        double* FLOWM, double* SUMP, double* RATIO);

/* ---- Components ---- */

/* Mole (IBASIS 0) or mass (1) fractions of the stream or phase, VALUES(j)
 * for component number j; NVAL bounds what is cleared and processed. */
XIF_API void XIF_HXBCMP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUES, const int64_t* NVAL, int64_t* IERR);
/* Pure-component constant ICODE (2 MW, 3 Pc, 4 Tc, 5 standard liquid volume,
 * 6 Tb, 7 acentric factor, 8 dipole moment) of components 1..NVAL. */
XIF_API void XIF_HXBCPROP(void* A1, void* A2, void* A3, const int64_t* ICODE, double* VALUES,
                          const int64_t* NVAL);

/* ---- Flash ---- */

/* Flashes SVEC with option set ISIDE at flash type IFTYPE (1 P-H, 2 T-P,
 * 3 P-vapour fraction, 4 T-H, 5 T-vapour fraction), optionally in retained
 * slot IPOINT (1..5); writes T, P and vapour fraction back and lays out the
 * phase records. IERR = the flash status (1 = success). */
XIF_API void XIF_HXBFLS(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPOINT, int64_t* IFTYPE,
                        int64_t* IUPDATE, int64_t* IERR);

/* ---- Thermal ---- */

/* Enthalpy per kmol or per kg (J/kmol, J/kg). */
XIF_API void XIF_HXBNTH(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Heat capacity per kmol or per kg, without latent heat (J/(kmol K), J/(kg K)). */
XIF_API void XIF_HXBCPP(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Third result of the host thermo monitors (the reference host: entropy,
 * J/(kmol K) or J/(kg K)). */
XIF_API void XIF_HXBNTR(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Enthalpy flow of the stream or phase (W); 0 with IERR -1 when absent. */
XIF_API void XIF_HXBQFL(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);

/* ---- Volumetric ---- */

/* Volume: IBASIS 0 molar (m3/kmol), 1 specific (m3/kg), 2 standard liquid
 * volume (m3/kmol). */
XIF_API void XIF_HXBVOL(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Density (kmol/m3 or kg/m3); the missing value for an implausible volume. */
XIF_API void XIF_HXBDNS(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Critical temperature (K) and pressure (Pa) of the stream or phase. */
XIF_API void XIF_HXBTMC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
XIF_API void XIF_HXBPRC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);

/* ---- Transport ---- */

/* Viscosity (Pa s). */
XIF_API void XIF_HXBVIS(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Thermal conductivity (W/(m K)). */
XIF_API void XIF_HXBTHC(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Surface tension of the liquid (N/m). */
XIF_API void XIF_HXBSFT(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Diffusivity (m2/s) of the vapour, vapour subset or whole stream. */
XIF_API void XIF_HXBDIF(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);
/* Heat of vaporization of the liquid (J/kmol or J/kg). When the total liquid
 * is present but neither liquid has a fraction above 0, the answer is 0. */
XIF_API void XIF_HXBTHV(double* SVEC, void* SPARE, int64_t* ISIDE, int64_t* IPHASE, int64_t* IBASIS,
                        double* VALUE, int64_t* IERR);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
#include <cstddef>
static_assert(sizeof(xif_hxsbd) == 32 && offsetof(xif_hxsbd, word) == 0);
static_assert(sizeof(xif_hxrpp) == 64 && offsetof(xif_hxrpp, word) == 0);
static_assert(sizeof(xif_hximss) == 32);
static_assert(sizeof(xif_hxoutp) == 32);
static_assert(sizeof(xif_hxipp) == 224 && offsetof(xif_hxipp, word) == 0);
static_assert(sizeof(xif_hxrmss) == 32 && offsetof(xif_hxrmss, word) == 0);
static_assert(sizeof(xif_hxrmin) == 40 && offsetof(xif_hxrmin, word) == 0);
#else
#include <stddef.h>
_Static_assert(sizeof(xif_hxsbd) == 32, "XIF_HXSBD is 4 words");
_Static_assert(sizeof(xif_hxrpp) == 64, "XIF_HXRPP is 8 words");
_Static_assert(sizeof(xif_hximss) == 32, "XIF_HXIMSS is 32 bytes");
_Static_assert(sizeof(xif_hxoutp) == 32, "XIF_HXOUTP is 32 bytes");
_Static_assert(sizeof(xif_hxipp) == 224, "XIF_HXIPP is 28 words");
_Static_assert(sizeof(xif_hxrmss) == 32, "XIF_HXRMSS is 4 words");
_Static_assert(sizeof(xif_hxrmin) == 40, "XIF_HXRMIN is 5 words");
#endif

#endif /* XIF_XIF_H */
