! A small exchanger program in Fortran: the cooling curve of a propane,
! n-butane and n-pentane vapour condensed at 1 MPa from 380 K to 320 K, in
! five points of equal duty, on the reference host. It prints the same
! numbers as examples/c/curve.c.
program curve
    use, intrinsic :: iso_c_binding, only: c_int64_t, c_double
    use, intrinsic :: iso_fortran_env, only: error_unit
    use xif
    use xifhost
    implicit none

    integer(c_int64_t), parameter :: nc = 3, npoint = 5
    character(len=8), parameter :: ids(nc) = [character(len=8) :: "C3H8", "NC4", "NC5"]
    real(c_double), parameter :: flows(nc) = [0.3_c_double, 0.4_c_double, 0.3_c_double]
    real(c_double), parameter :: pressure = 1.0e6_c_double
    real(c_double), parameter :: t_in = 380.0_c_double, t_out = 320.0_c_double

    real(c_double) :: svec(nc + xif_sv_extra), spare(1)
    real(c_double) :: word, h_in, h_out, h, mw, v(7)
    logical :: present(7), ok
    integer(c_int64_t) :: ierr, status
    integer :: k, j

    spare = 0.0_c_double
    call xifhost_open(nc, ids, 8_c_int64_t, ierr)
    if (ierr /= 0) call host_error("open")
    call xifhost_recommend(xif_hxipp, xif_hxrpp, xif_hxsbd, xif_hxrmss, xif_hxrmin, ierr)
    if (ierr /= 0) call host_error("recommend")
    if (xifhost_stream_size(nc) > size(svec)) error stop "curve: stream vector too short"
    call xifhost_stream(flows, t_in, pressure, svec, ierr)
    if (ierr /= 0) call host_error("stream")

    ! The component count comes back as an integer in the value's bytes.
    call get(xif_hxbncp, xif_whole, xif_molar, word, ok)
    write (*, '(a, 1x, i0)') "components", transfer(word, 0_c_int64_t)

    ! Inlet and outlet by T-P flashes give the duty.
    if (flash(xif_flash_tp, pressure, t_in) /= xif_flash_ok) error stop 1
    call get(xif_hxbnth, xif_whole, xif_molar, h_in, ok)
    call get(xif_hxbmwt, xif_whole, xif_molar, mw, ok)
    write (*, '(a, 4(1x, es16.9))') "inlet", t_in, pressure, h_in, mw
    if (flash(xif_flash_tp, pressure, t_out) /= xif_flash_ok) error stop 1
    call get(xif_hxbnth, xif_whole, xif_molar, h_out, ok)
    write (*, '(a, 3(1x, es16.9))') "outlet", t_out, pressure, h_out

    ! Points of equal duty by P-H flashes.
    write (*, '(a, 7(1x, a16))') "point", "T", "vf", "H", "mu_v", "mu_l", "rho_v", "rho_l"
    do k = 0, int(npoint) - 1
        h = h_in + (h_out - h_in)*k/(npoint - 1)
        status = flash(xif_flash_ph, pressure, h)
        if (status /= xif_flash_ok) then
            write (error_unit, '(a, i0, a, i0)') "curve: flash at point ", k + 1, " failed with status ", status
            error stop 1
        end if
        call get(xif_hxbtmp, xif_whole, xif_molar, v(1), present(1))
        call get(xif_hxbfrc, xif_vapour, xif_molar, v(2), present(2))
        call get(xif_hxbnth, xif_whole, xif_molar, v(3), present(3))
        call get(xif_hxbvis, xif_vapour, xif_molar, v(4), present(4))
        call get(xif_hxbvis, xif_liquid, xif_molar, v(5), present(5))
        call get(xif_hxbdns, xif_vapour, xif_mass, v(6), present(6))
        call get(xif_hxbdns, xif_liquid, xif_mass, v(7), present(7))
        write (*, '(a)', advance='no') "point"
        do j = 1, 7
            if (present(j)) then
                write (*, '(1x, es16.9)', advance='no') v(j)
            else
                write (*, '(1x, a16)', advance='no') "missing"
            end if
        end do
        write (*, '()')
    end do

contains

    ! A property of a phase; present is false when the phase is absent.
    subroutine get(routine, phase, basis, value, present)
        procedure(xif_hxbtmp) :: routine
        integer(c_int64_t), intent(in) :: phase, basis
        real(c_double), intent(out) :: value
        logical, intent(out) :: present
        integer(c_int64_t) :: ierr
        value = 0.0_c_double
        call routine(svec, spare, 0_c_int64_t, phase, basis, value, ierr)
        present = ierr == 0 .and. value < xif_hxrmss(xif_rmss_missing)
    end subroutine get

    ! Flash at type iftype after setting P and the second specification.
    integer(c_int64_t) function flash(iftype, p, second) result(status)
        integer(c_int64_t), intent(in) :: iftype
        real(c_double), intent(in) :: p, second
        call xif_hxbzpr(svec, spare, spare, p)
        if (iftype == xif_flash_tp) then
            call xif_hxbztp(svec, spare, spare, second)
        else
            call xif_hxbznt(svec, spare, spare, second)
        end if
        call xif_hxbfls(svec, spare, 0_c_int64_t, 0_c_int64_t, iftype, 0_c_int64_t, status)
    end function flash

    subroutine host_error(what)
        character(len=*), intent(in) :: what
        character(len=200) :: text
        integer(c_int64_t) :: length
        call xifhost_message(text, int(len(text), c_int64_t), length)
        write (error_unit, '(a)') "curve: "//what//": "//text(1:length)
        error stop 1
    end subroutine host_error
end program curve
