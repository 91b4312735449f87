# Copies SRC to DST unless DST exists (a configured system.ini stays).
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
