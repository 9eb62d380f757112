! Boils n-hexane at 101325 Pa through an installed xif on the installed
! reference host, with the installed Fortran modules: a P-vapour fraction
! flash at vapour fraction 0.5. Fails unless the temperature is within 0.5 K
! of the published normal boiling point, 341.88 K.
program boil
    use, intrinsic :: iso_c_binding, only: c_int64_t, c_double
    use xif
    use xifhost
    implicit none
    real(c_double) :: svec(1 + xif_sv_extra), spare(1), t
    integer(c_int64_t) :: ierr, status

    spare = 0.0_c_double
    call xifhost_open(1_c_int64_t, "NC6", 3_c_int64_t, ierr)
    if (ierr /= 0) error stop 1
    call xifhost_recommend(xif_hxipp, xif_hxrpp, xif_hxsbd, xif_hxrmss, xif_hxrmin, ierr)
    call xifhost_stream([1.0_c_double], 300.0_c_double, 101325.0_c_double, svec, ierr)
    if (ierr /= 0) error stop 1

    call xif_hxbzpr(svec, spare, spare, 101325.0_c_double)
    call xif_hxbzvf(svec, spare, spare, 0.5_c_double)
    call xif_hxbfls(svec, spare, 0_c_int64_t, 0_c_int64_t, xif_flash_pvf, 0_c_int64_t, status)
    call xif_hxbtmp(svec, spare, 0_c_int64_t, xif_whole, xif_molar, t, ierr)
    write (*, '(a, 1x, f0.6, 1x, i0)') "boil_f", t, status
    if (status /= xif_flash_ok .or. ierr /= 0 .or. abs(t - 341.88_c_double) >= 0.5_c_double) error stop 1
end program boil
