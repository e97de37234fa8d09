# Fails when a source or header under FOLDER uses one of Qt's item models.
file(GLOB_RECURSE _files ${FOLDER}/*.cpp ${FOLDER}/*.h)
foreach(_file ${_files})
  file(STRINGS ${_file} _hits REGEX "QAbstract[A-Za-z]*Model|QModelIndex|QStandardItemModel|qabstractitemmodel")
  if(_hits)
    message(FATAL_ERROR "${_file} uses an item model: ${_hits}")
  endif()
endforeach()
message(STATUS "${FOLDER}: no item model")
