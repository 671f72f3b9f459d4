# Read by cpack before each package it makes (see Packaging.cmake). In a
# cross build dpkg-shlibdeps takes the package's architecture from
# DEB_HOST_ARCH.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_TAVLO_DEB_HOST_ARCH)
    set(ENV{DEB_HOST_ARCH} "${CPACK_TAVLO_DEB_HOST_ARCH}")
endif()
