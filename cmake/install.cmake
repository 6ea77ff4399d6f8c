# Install rules and the packages made from them: a .deb on Linux, a zip on
# Windows. Included once, at the end of the top CMakeLists.txt.
include(GNUInstallDirs)

if(WIN32)
  # Windows users unpack the zip and run the program where it lies.
  install(TARGETS usbio2-write RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
else()
  install(TARGETS usbio2-write RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # Debian wants man pages compressed with -9n: without name and time in the
  # header, the same page always gives the same package.
  set(usbio2ManPage ${PROJECT_SOURCE_DIR}/doc/usbio2-write.1)
  find_program(USBIO2_GZIP gzip)
  if(USBIO2_GZIP)
    set(usbio2ManPageGz ${PROJECT_BINARY_DIR}/man/usbio2-write.1.gz)
    add_custom_command(
      OUTPUT ${usbio2ManPageGz}
      COMMAND ${CMAKE_COMMAND} -E copy ${usbio2ManPage} ${PROJECT_BINARY_DIR}/man/usbio2-write.1
      COMMAND ${USBIO2_GZIP} -9nf ${PROJECT_BINARY_DIR}/man/usbio2-write.1
      DEPENDS ${usbio2ManPage}
      VERBATIM)
    add_custom_target(usbio2-man-page ALL DEPENDS ${usbio2ManPageGz})
    install(FILES ${usbio2ManPageGz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${usbio2ManPage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # udev reads /usr/lib/udev/rules.d and /etc/udev/rules.d, never
    # /usr/local: an install from source under /usr/local sets this to
    # /etc/udev/rules.d or copies the rule there.
    set(USBIO2_UDEV_RULES_DIR "lib/udev/rules.d"
        CACHE STRING "Where the udev rule is installed, relative to the prefix unless absolute")
    install(FILES packaging/linux/60-usbio2.rules DESTINATION ${USBIO2_UDEV_RULES_DIR})
  endif()
endif()

set(CPACK_PACKAGE_NAME usbio2-write)
set(CPACK_PACKAGE_VENDOR "usbio2-write maintainers")
set(CPACK_PACKAGE_CONTACT "usbio2-write maintainers <maintainers@users.noreply.c-seed-6356d12f.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sets the output ports of USB-IO2 boards")
# Debian shows the description as written: lines are kept short here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "usbio2-write writes an 8-bit value to each of the two output ports of up to"
  "four USB-IO2 boards (USB HID devices, vendor 0x1352, product 0x0120 or"
  "0x0121), for example to switch relays from a script. Its exit code tells"
  "whether every board took its values."
  ""
  "A udev rule gives the logged-in user and the plugdev group access to the"
  "boards.")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # dpkg-shlibdeps finds nothing to depend on in the static release binary,
  # and the right libraries in any dynamically linked build.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/linux/postinst)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()

include(CPack)
