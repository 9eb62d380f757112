! xif: the exchanger property interface, for Fortran 2008 exchanger programs.
!
! Module xif declares the 27 routines and the 7 blocks that libxif exports,
! bound to their C names; module xifhost declares the set-up API of the
! reference host, libxifhost. Compile this file with the program and link
! with libxif (and libxifhost when the program runs standalone).
!
! Conventions (as in xif.h):
!  - every argument is passed by reference, scalars included;
!  - integers are integer(c_int64_t), reals real(c_double);
!  - SPARE and the unused leading arguments of the setters and of xif_hxbcprop
!    are handed through untouched: pass any real work array;
!  - IERR is 0 on success, -1 when the phase is absent (VALUE then holds the
!    missing value xif_hxrmss(xif_rmss_missing)), or a host status;
!  - xif_hxbncp writes NC as a 64-bit integer into the 8 bytes of VALUE:
!    read it with transfer(value, 0_c_int64_t).
!
! Stream vector SVEC (NC + 9 elements or more): 1..NC component molar flows,
! NC+1 total molar flow, NC+2 T, NC+3 P, NC+4 enthalpy, NC+5 vapour
! fraction, NC+9 molecular weight (the xif_sv_* offsets below, added to NC).
!
! The blocks are module variables with C binding: the compiled module holds a
! (common) definition of each, which the dynamic linker of an ELF platform
! merges with libxif's, so the program and libxif share one block. This
! sharing is what the bindings test checks; it does not hold for a Windows
! DLL, where a Fortran program would need the blocks' import addresses.
module xif
    use, intrinsic :: iso_c_binding, only: c_int64_t, c_double
    implicit none
    private :: c_int64_t, c_double

    ! ---- Exported blocks: the program writes them before it calls. ----

    ! Point-update words: 1 side 0, 2 side 1.
    integer(c_int64_t), bind(C, name="XIF_HXSBD"), target :: xif_hxsbd(4)
    ! Real flash options: 1 / 4 tolerance, 2 / 5 one-shot temperature estimate.
    real(c_double), bind(C, name="XIF_HXRPP"), target :: xif_hxrpp(8)
    ! Reserved for the caller; xif never reads or writes them.
    integer(c_int64_t), bind(C, name="XIF_HXIMSS"), target :: xif_hximss(4)
    integer(c_int64_t), bind(C, name="XIF_HXOUTP"), target :: xif_hxoutp(4)
    ! Integer options: 1..10 side 0, 11..20 side 1, 21..27 both sides.
    integer(c_int64_t), bind(C, name="XIF_HXIPP"), target :: xif_hxipp(28)
    ! Word 1: the missing value.
    real(c_double), bind(C, name="XIF_HXRMSS"), target :: xif_hxrmss(4)
    ! Word 1: the smallest meaningful value.
    real(c_double), bind(C, name="XIF_HXRMIN"), target :: xif_hxrmin(5)

    ! ---- Word numbers ----

    ! xif_hxipp, side 0; add xif_ipp_side for side 1.
    integer, parameter :: xif_ipp_method = 1        ! 1..6 property-method group
    integer, parameter :: xif_ipp_water_method = 5  ! method of a pure-water liquid
    integer, parameter :: xif_ipp_flash_opt_b = 7   ! 8th flash argument (phases allowed)
    integer, parameter :: xif_ipp_flash_opt_a = 8   ! 7th flash argument (iteration limit)
    integer, parameter :: xif_ipp_flash_opt_c = 9   ! 9th flash argument
    integer, parameter :: xif_ipp_water_switch = 10
    integer, parameter :: xif_ipp_side = 10
    ! xif_hxipp, both sides.
    integer, parameter :: xif_ipp_thermo_opt = 21
    integer, parameter :: xif_ipp_flash_opt_22 = 22
    integer, parameter :: xif_ipp_monitor_opt = 23
    integer, parameter :: xif_ipp_slot_int = 24
    integer, parameter :: xif_ipp_slot_real = 25
    integer, parameter :: xif_ipp_list_count = 26
    integer, parameter :: xif_ipp_retention = 27
    ! xif_hxrpp, side 0; add xif_rpp_side for side 1.
    integer, parameter :: xif_rpp_flash_tol = 1
    integer, parameter :: xif_rpp_t_estimate = 2
    integer, parameter :: xif_rpp_side = 3
    ! xif_hxsbd: the point-update word of a side is xif_sbd_side0 + side.
    integer, parameter :: xif_sbd_side0 = 1
    ! xif_hxrmss and xif_hxrmin.
    integer, parameter :: xif_rmss_missing = 1
    integer, parameter :: xif_rmin_smallest = 1

    ! ---- Selectors ----

    integer(c_int64_t), parameter :: xif_whole = 1, xif_vapour = 2, xif_liquid = 3, &
                                     xif_liquid1 = 4, xif_liquid2 = 5, xif_vapour_subset = 6
    integer(c_int64_t), parameter :: xif_molar = 0, xif_mass = 1, xif_std_liquid = 2
    integer(c_int64_t), parameter :: xif_flash_ph = 1, xif_flash_tp = 2, xif_flash_pvf = 3, &
                                     xif_flash_th = 4, xif_flash_tvf = 5
    integer(c_int64_t), parameter :: xif_flash_ok = 1
    ! Pure-component constants of xif_hxbcprop.
    integer(c_int64_t), parameter :: xif_const_mw = 2, xif_const_pc = 3, xif_const_tc = 4, &
                                     xif_const_vlstd = 5, xif_const_tb = 6, &
                                     xif_const_omega = 7, xif_const_dipole = 8
    ! Stream vector positions after the component flows: svec(nc + xif_sv_t) is T.
    integer, parameter :: xif_sv_total = 1, xif_sv_t = 2, xif_sv_p = 3, xif_sv_h = 4, &
                          xif_sv_vf = 5, xif_sv_mw = 9, xif_sv_extra = 9

    interface
        ! ---- Stream accessors and setters ----

        subroutine xif_hxbncp(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBNCP")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbncp

        subroutine xif_hxbtmp(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBTMP")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbtmp

        subroutine xif_hxbprs(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBPRS")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbprs

        ! Setters: only SVEC and VALIN are read. Flash again afterwards.
        subroutine xif_hxbztp(svec, a2, a3, valin) bind(C, name="XIF_HXBZTP")
            import :: c_double
            real(c_double), intent(inout) :: svec(*), a2(*), a3(*)
            real(c_double), intent(in) :: valin
        end subroutine xif_hxbztp

        subroutine xif_hxbzpr(svec, a2, a3, valin) bind(C, name="XIF_HXBZPR")
            import :: c_double
            real(c_double), intent(inout) :: svec(*), a2(*), a3(*)
            real(c_double), intent(in) :: valin
        end subroutine xif_hxbzpr

        subroutine xif_hxbznt(svec, a2, a3, valin) bind(C, name="XIF_HXBZNT")
            import :: c_double
            real(c_double), intent(inout) :: svec(*), a2(*), a3(*)
            real(c_double), intent(in) :: valin
        end subroutine xif_hxbznt

        subroutine xif_hxbzvf(svec, a2, a3, valin) bind(C, name="XIF_HXBZVF")
            import :: c_double
            real(c_double), intent(inout) :: svec(*), a2(*), a3(*)
            real(c_double), intent(in) :: valin
        end subroutine xif_hxbzvf

        ! ---- Phase fraction, molecular weight and flows ----

        subroutine xif_hxbfrc(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBFRC")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbfrc

        subroutine xif_hxbmwt(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBMWT")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbmwt

        subroutine xif_hxbmfl(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBMFL")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbmfl

        ! Rescales the component flows to the mass flow VALIN.
        subroutine xif_hxbzmf(svec, spare, iside, valin, flowm, sump, ratio) &
            bind(C, name="XIF_HXBZMF")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside
            real(c_double), intent(in) :: valin
            real(c_double), intent(out) :: flowm, sump, ratio
        end subroutine xif_hxbzmf

        ! ---- Components ----

        subroutine xif_hxbcmp(svec, spare, iside, iphase, ibasis, values, nval, ierr) &
            bind(C, name="XIF_HXBCMP")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: values(*)
            integer(c_int64_t), intent(in) :: nval
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbcmp

        subroutine xif_hxbcprop(a1, a2, a3, icode, values, nval) bind(C, name="XIF_HXBCPROP")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: a1(*), a2(*), a3(*)
            integer(c_int64_t), intent(in) :: icode
            real(c_double), intent(out) :: values(*)
            integer(c_int64_t), intent(in) :: nval
        end subroutine xif_hxbcprop

        ! ---- Flash: IERR is the flash status, 1 (xif_flash_ok) on success ----

        subroutine xif_hxbfls(svec, spare, iside, ipoint, iftype, iupdate, ierr) &
            bind(C, name="XIF_HXBFLS")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, ipoint, iftype, iupdate
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbfls

        ! ---- Thermal ----

        subroutine xif_hxbnth(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBNTH")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbnth

        subroutine xif_hxbcpp(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBCPP")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbcpp

        subroutine xif_hxbntr(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBNTR")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbntr

        subroutine xif_hxbqfl(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBQFL")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbqfl

        ! ---- Volumetric ----

        subroutine xif_hxbvol(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBVOL")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbvol

        subroutine xif_hxbdns(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBDNS")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbdns

        subroutine xif_hxbtmc(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBTMC")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbtmc

        subroutine xif_hxbprc(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBPRC")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbprc

        ! ---- Transport ----

        subroutine xif_hxbvis(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBVIS")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbvis

        subroutine xif_hxbthc(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBTHC")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbthc

        subroutine xif_hxbsft(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBSFT")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbsft

        subroutine xif_hxbdif(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBDIF")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbdif

        subroutine xif_hxbthv(svec, spare, iside, iphase, ibasis, value, ierr) &
            bind(C, name="XIF_HXBTHV")
            import :: c_int64_t, c_double
            real(c_double), intent(inout) :: svec(*), spare(*)
            integer(c_int64_t), intent(in) :: iside, iphase, ibasis
            real(c_double), intent(out) :: value
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xif_hxbthv
    end interface
end module xif

! The reference host's set-up API (libxifhost). A character argument is an
! array of blank-padded entries, e.g. character(len=8) :: ids(n) with width 8.
module xifhost
    use, intrinsic :: iso_c_binding, only: c_int64_t, c_double, c_char
    implicit none
    private :: c_int64_t, c_double, c_char

    ! Error codes of the set-up API.
    integer(c_int64_t), parameter :: xifhost_ok = 0, xifhost_bad_argument = 1, &
                                     xifhost_unknown_id = 2, xifhost_repeated_id = 3, &
                                     xifhost_not_open = 4, xifhost_not_in_stream = 5, &
                                     xifhost_too_many = 6
    integer, parameter :: xifhost_max_components = 64

    interface
        ! Opens the host for n components, in the order of the stream vector.
        subroutine xifhost_open(n, ids, width, ierr) bind(C, name="XIFHOST_OPEN")
            import :: c_int64_t, c_char
            integer(c_int64_t), intent(in) :: n, width
            character(kind=c_char), intent(in) :: ids(*)
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_open

        ! The last error message, blank-padded to width; length its length.
        subroutine xifhost_message(text, width, length) bind(C, name="XIFHOST_MESSAGE")
            import :: c_int64_t, c_char
            character(kind=c_char), intent(out) :: text(*)
            integer(c_int64_t), intent(in) :: width
            integer(c_int64_t), intent(out) :: length
        end subroutine xifhost_message

        ! Recommended option words: pass xif_hxipp, xif_hxrpp, xif_hxsbd,
        ! xif_hxrmss and xif_hxrmin to take them as they are.
        subroutine xifhost_recommend(ipp, rpp, sbd, rmss, rmin, ierr) &
            bind(C, name="XIFHOST_RECOMMEND")
            import :: c_int64_t, c_double
            integer(c_int64_t), intent(out) :: ipp(28), sbd(4)
            real(c_double), intent(out) :: rpp(8), rmss(4), rmin(5)
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_recommend

        ! Fills a stream vector from molar flows (kmol/s), T (K) and P (Pa).
        subroutine xifhost_stream(flows, t, p, svec, ierr) bind(C, name="XIFHOST_STREAM")
            import :: c_int64_t, c_double
            real(c_double), intent(in) :: flows(*), t, p
            real(c_double), intent(out) :: svec(*)
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_stream

        ! Elements of a stream vector for nc components.
        function xifhost_stream_size(nc) result(size) bind(C, name="XIFHOST_STREAM_SIZE")
            import :: c_int64_t
            integer(c_int64_t), intent(in) :: nc
            integer(c_int64_t) :: size
        end function xifhost_stream_size

        ! The components kept out of the liquids by the non-condensable option.
        subroutine xifhost_noncondensables(n, ids, width, ierr) &
            bind(C, name="XIFHOST_NONCONDENSABLES")
            import :: c_int64_t, c_char
            integer(c_int64_t), intent(in) :: n, width
            character(kind=c_char), intent(in) :: ids(*)
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_noncondensables

        ! The databank: its size, and entry i (1-based).
        function xifhost_databank_size() result(size) bind(C, name="XIFHOST_DATABANK_SIZE")
            import :: c_int64_t
            integer(c_int64_t) :: size
        end function xifhost_databank_size

        subroutine xifhost_databank_entry(i, id, name, formula, width, mw, tc, pc, ierr) &
            bind(C, name="XIFHOST_DATABANK_ENTRY")
            import :: c_int64_t, c_double, c_char
            integer(c_int64_t), intent(in) :: i, width
            character(kind=c_char), intent(out) :: id(*), name(*), formula(*)
            real(c_double), intent(out) :: mw, tc, pc
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_databank_entry

        ! Entry i's melting point and normal boiling point, K.
        subroutine xifhost_databank_points(i, tm, tb, ierr) bind(C, name="XIFHOST_DATABANK_POINTS")
            import :: c_int64_t, c_double
            integer(c_int64_t), intent(in) :: i
            real(c_double), intent(out) :: tm, tb
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_databank_points

        ! The interaction parameter of entries i and j (method 1 PR, 2 SRK); known 0 where
        ! the databank has no value for the pair.
        subroutine xifhost_databank_pair(i, j, method, kij, known, ierr) &
            bind(C, name="XIFHOST_DATABANK_PAIR")
            import :: c_int64_t, c_double
            integer(c_int64_t), intent(in) :: i, j, method
            real(c_double), intent(out) :: kij
            integer(c_int64_t), intent(out) :: known, ierr
        end subroutine xifhost_databank_pair

        ! Sets the interaction parameter of two stream components (method 0 both, 1 PR,
        ! 2 SRK) in place of the databank's, until the host is opened again.
        subroutine xifhost_interaction(id1, id2, width, method, kij, ierr) &
            bind(C, name="XIFHOST_INTERACTION")
            import :: c_int64_t, c_double, c_char
            character(kind=c_char), intent(in) :: id1(*), id2(*)
            integer(c_int64_t), intent(in) :: width, method
            real(c_double), intent(in) :: kij
            integer(c_int64_t), intent(out) :: ierr
        end subroutine xifhost_interaction
    end interface
end module xifhost
