# CPack settings for the Debian package nelo-qcm_<version>_amd64.deb. The installed files are
# those of the install rules; this file only describes the package around them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nelo-qcm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${NELO_DEVELOPER_NAME}")
set(CPACK_PACKAGE_CONTACT "${NELO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "questionnaires à choix multiples pour les enseignants")
# The summary above is the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Nelo Qcm sert aux enseignants et aux formateurs à écrire des questionnaires
à choix multiples et à les faire passer à l'écran. Chaque question a un
titre, jusqu'à cinq réponses, le numéro de la bonne réponse, une image
facultative (BMP, ICO, WMF, EMF, JPEG, GIF ou PCX) et quelques lignes de
texte libre. Exécuté, le questionnaire présente ses questions l'une après
l'autre et se termine par le tableau des réponses données, des bonnes
réponses et du nombre de bonnes réponses.

Les questionnaires sont de simples fichiers texte « .qcm », compatibles avec
ceux écrits sous Windows. Le programme, son aide et ses messages sont en
français.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${NELO_HOMEPAGE_URL}")

# Library dependencies come from dpkg-shlibdeps; these are what the program needs beyond its
# libraries: Qt's window-system plugins, and the fonts its layouts are measured in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")

# Native version (no Debian revision): nelo-qcm_2.0.0_amd64.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Install into DESTDIR with the real prefix, so files that name installed paths (the manual
# page) name /usr and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_CHECKSUM SHA256)

include(CPack)
