# Where an installed Tessaline puts its files (GNU layout), and the names it is known by on the
# desktop. Included before the sources, which need the data folder's place relative to bin/.
include(GNUInstallDirs)

# Reverse-DNS id from the maker's domain: names the launcher, the AppStream metadata and the icon.
set(TESSALINE_APP_ID com.quorvane.tessaline)
# The skin (x/o.cjs) and the hover cursor (HAND-M.CUR) of an installed program.
set(TESSALINE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tessaline)
# Relative, so an installed tree keeps working when it is moved or unpacked under another root.
file(RELATIVE_PATH TESSALINE_DATA_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/tessaline)
