# Runs at install time, not at configure time: the manual page names the installed folders, and
# the prefix is known only now (`cmake --install --prefix`, `make install PREFIX=…` and the
# package's /usr differ). Expects NELO_MAN_TEMPLATE, NELO_MAN_WORK_DIR, NELO_MANDIR,
# NELO_DATADIR, NELO_LIBEXECDIR, PROJECT_VERSION and NELO_RELEASE_DATE.

foreach(dir DATADIR LIBEXECDIR)
  if(IS_ABSOLUTE "${NELO_${dir}}")
    set(NELO_INSTALL_FULL_${dir} "${NELO_${dir}}")
  else()
    set(NELO_INSTALL_FULL_${dir} "${CMAKE_INSTALL_PREFIX}/${NELO_${dir}}")
  endif()
endforeach()

# One work folder per destination: a package can be built while a test installs elsewhere.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(work_dir "${NELO_MAN_WORK_DIR}/man-${destination}")
file(REMOVE_RECURSE "${work_dir}")
set(page "${work_dir}/nelo-qcm.1")
configure_file("${NELO_MAN_TEMPLATE}" "${page}" @ONLY)

# Manual pages are installed compressed on Debian-like systems; "-n" keeps the name and the
# time out of the archive so two builds give the same bytes.
find_program(NELO_GZIP gzip)
if(NELO_GZIP)
  execute_process(COMMAND "${NELO_GZIP}" -9 -n -f "${page}" RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${page}")
  endif()
  set(page "${page}.gz")
endif()

file(INSTALL "${page}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${NELO_MANDIR}/man1"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(REMOVE_RECURSE "${work_dir}")
