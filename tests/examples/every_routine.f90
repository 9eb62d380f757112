! Fortran twin of every_routine.c: the same calls through the xif and xifhost
! modules, printing the same lines. First it checks that its seven block
! variables are the blocks C sees (block_addresses.c), with the same sizes.
program every_routine
    use, intrinsic :: iso_c_binding, only: c_int64_t, c_double, c_ptr, c_loc, c_associated, c_sizeof, &
                                           c_size_t
    use, intrinsic :: iso_fortran_env, only: error_unit
    use xif
    use xifhost
    implicit none
    interface
        subroutine xif_test_blocks(address, size) bind(C, name="xif_test_blocks")
            import :: c_ptr, c_int64_t
            type(c_ptr), intent(out) :: address(7)
            integer(c_int64_t), intent(out) :: size(7)
        end subroutine xif_test_blocks
    end interface
    integer(c_int64_t), parameter :: nc = 3
    real(c_double) :: svec(nc + xif_sv_extra), spare(4), flows(nc), t, p, h, vf, word
    real(c_double) :: x(nc), mass, flowm, sump, ratio
    integer(c_int64_t) :: ierr, phase, basis, code
    character(len=4) :: ids(nc) = ["N2  ", "C3H8", "NC5 "]
    type(c_ptr) :: address(7)
    integer(c_int64_t) :: c_bytes(7)

    call xif_test_blocks(address, c_bytes)
    call same_block("XIF_HXSBD", c_loc(xif_hxsbd), c_sizeof(xif_hxsbd), 1)
    call same_block("XIF_HXRPP", c_loc(xif_hxrpp), c_sizeof(xif_hxrpp), 2)
    call same_block("XIF_HXIMSS", c_loc(xif_hximss), c_sizeof(xif_hximss), 3)
    call same_block("XIF_HXOUTP", c_loc(xif_hxoutp), c_sizeof(xif_hxoutp), 4)
    call same_block("XIF_HXIPP", c_loc(xif_hxipp), c_sizeof(xif_hxipp), 5)
    call same_block("XIF_HXRMSS", c_loc(xif_hxrmss), c_sizeof(xif_hxrmss), 6)
    call same_block("XIF_HXRMIN", c_loc(xif_hxrmin), c_sizeof(xif_hxrmin), 7)

    spare = 0.0_c_double
    flows = [0.2_c_double, 0.3_c_double, 0.5_c_double]
    t = 300.0_c_double
    p = 5.0e5_c_double
    call xifhost_open(nc, ids, 4_c_int64_t, ierr)
    if (ierr /= 0) error stop 1
    call xifhost_recommend(xif_hxipp, xif_hxrpp, xif_hxsbd, xif_hxrmss, xif_hxrmin, ierr)
    call xifhost_noncondensables(1_c_int64_t, ids(1:1), 4_c_int64_t, ierr)
    call xifhost_interaction(ids(2:2), ids(3:3), 4_c_int64_t, 0_c_int64_t, 0.02_c_double, ierr)
    if (ierr /= 0) error stop 1
    call xifhost_stream(flows, t, p, svec, ierr)
    if (ierr /= 0) error stop 1

    ! The five flash types, each from the state the last one left.
    call xif_hxbztp(svec, spare, spare, t)
    call xif_hxbzpr(svec, spare, spare, p)
    call show_flash(xif_flash_tp)
    call xif_hxbnth(svec, spare, 0_c_int64_t, xif_whole, xif_molar, h, ierr)
    call xif_hxbfrc(svec, spare, 0_c_int64_t, xif_vapour, xif_molar, vf, ierr)
    call xif_hxbznt(svec, spare, spare, h)
    call show_flash(xif_flash_ph)
    call show_flash(xif_flash_th)
    call xif_hxbzvf(svec, spare, spare, vf)
    call show_flash(xif_flash_pvf)
    call show_flash(xif_flash_tvf)

    call xif_hxbncp(svec, spare, 0_c_int64_t, xif_whole, xif_molar, word, ierr)
    write (*, '(a, 2(1x, i0))') "components", transfer(word, 0_c_int64_t), ierr

    call show("tmp", xif_hxbtmp)
    call show("prs", xif_hxbprs)
    call show("frc", xif_hxbfrc)
    call show("mwt", xif_hxbmwt)
    call show("mfl", xif_hxbmfl)
    call show("nth", xif_hxbnth)
    call show("cpp", xif_hxbcpp)
    call show("ntr", xif_hxbntr)
    call show("qfl", xif_hxbqfl)
    call show("vol", xif_hxbvol)
    call show("dns", xif_hxbdns)
    call show("tmc", xif_hxbtmc)
    call show("prc", xif_hxbprc)
    call show("vis", xif_hxbvis)
    call show("thc", xif_hxbthc)
    call show("sft", xif_hxbsft)
    call show("dif", xif_hxbdif)
    call show("thv", xif_hxbthv)

    do phase = 1, 6
        do basis = 0, 1
            x = -1.0_c_double
            call xif_hxbcmp(svec, spare, 0_c_int64_t, phase, basis, x, nc, ierr)
            write (*, '(a, 3(1x, i0), 3(1x, es16.9))') "cmp", phase, basis, ierr, x
        end do
    end do
    do code = xif_const_mw, xif_const_dipole
        x = -1.0_c_double
        call xif_hxbcprop(spare, spare, spare, code, x, nc)
        write (*, '(a, 1x, i0, 3(1x, es16.9))') "cprop", code, x
    end do

    mass = 10.0_c_double
    call xif_hxbzmf(svec, spare, 0_c_int64_t, mass, flowm, sump, ratio)
    write (*, '(a, 6(1x, es16.9))') "zmf", flowm, sump, ratio, svec(1:3)

contains

    subroutine same_block(name, here, bytes, k)
        character(len=*), intent(in) :: name
        type(c_ptr), intent(in) :: here
        integer(c_size_t), intent(in) :: bytes
        integer, intent(in) :: k
        if (.not. c_associated(here, address(k))) then
            write (error_unit, '(a)') "the Fortran variable bound to "//name//" is not the C block"
            error stop 1
        end if
        if (bytes /= c_bytes(k)) then
            write (error_unit, '(a, 2(1x, i0))') name//": Fortran and C sizes", bytes, c_bytes(k)
            error stop 1
        end if
    end subroutine same_block

    subroutine show(name, routine)
        character(len=*), intent(in) :: name
        procedure(xif_hxbtmp) :: routine
        integer(c_int64_t) :: phase, basis, ierr
        real(c_double) :: value
        do phase = 1, 6
            do basis = 0, 1
                value = -1.0_c_double
                call routine(svec, spare, 0_c_int64_t, phase, basis, value, ierr)
                write (*, '(a, 3(1x, i0), 1x, es16.9)') name, phase, basis, ierr, value
            end do
        end do
    end subroutine show

    subroutine show_flash(iftype)
        integer(c_int64_t), intent(in) :: iftype
        integer(c_int64_t) :: status
        call xif_hxbfls(svec, spare, 0_c_int64_t, 1_c_int64_t, iftype, 1_c_int64_t, status)
        write (*, '(a, 2(1x, i0), 3(1x, es16.9), 1x, i0)') "flash", iftype, status, &
            svec(nc + xif_sv_t), svec(nc + xif_sv_p), svec(nc + xif_sv_vf), xif_hxsbd(xif_sbd_side0)
    end subroutine show_flash
end program every_routine
