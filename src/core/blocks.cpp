// The seven exported blocks. They are zero at load; the exchanger program
// writes the options before it calls.
#include <xif/xif.h>

extern "C" {
XIF_API xif_hxsbd XIF_HXSBD;
XIF_API xif_hxrpp XIF_HXRPP;
XIF_API xif_hximss XIF_HXIMSS;
XIF_API xif_hxoutp XIF_HXOUTP;
XIF_API xif_hxipp XIF_HXIPP;
XIF_API xif_hxrmss XIF_HXRMSS;
XIF_API xif_hxrmin XIF_HXRMIN;
}
