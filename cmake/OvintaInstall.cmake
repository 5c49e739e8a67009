# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts under the prefix (/usr/local by default, /usr
# for the Debian package), in three components:
#   plugin  lib/lxvst/ovinta.so              the VST 2.4 plug-in
#   tool    bin/ovinta, share/man/man1/ovinta.1
#   doc     share/doc/ovinta/{README.md,CHANGELOG.md,LICENSE,THIRD-PARTY}
# Nothing else is installed: the test hosts, generators, benchmarks and the
# static libraries have no install rule. scripts/install-user.sh and
# scripts/package.sh start from this layout.
#
# Plug-in folders are plain lib/<format> (not the multiarch library folder)
# because hosts look there: /usr/lib/lxvst and /usr/local/lib/lxvst for VST 2.4,
# and likewise lib/lv2 and lib/clap for the LV2 bundle and the CLAP plug-in
# when those formats are built; their install rules use the two variables below.
include(GNUInstallDirs)

set(OVINTA_INSTALL_VST2_DIR "lib/lxvst" CACHE STRING "VST 2.4 plug-in folder under the prefix")
set(OVINTA_INSTALL_LV2_DIR "lib/lv2" CACHE STRING "LV2 bundle folder under the prefix")
set(OVINTA_INSTALL_CLAP_DIR "lib/clap" CACHE STRING "CLAP plug-in folder under the prefix")
set(OVINTA_INSTALL_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/ovinta")

install(TARGETS ovinta
  LIBRARY DESTINATION ${OVINTA_INSTALL_VST2_DIR} COMPONENT plugin)

if(TARGET ovinta_tool)
  install(TARGETS ovinta_tool
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  install(FILES $<TARGET_FILE_DIR:ovinta_tool>/ovinta.1
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
endif()

install(FILES README.md CHANGELOG.md LICENSE THIRD-PARTY
  DESTINATION ${OVINTA_INSTALL_DOC_DIR} COMPONENT doc)
