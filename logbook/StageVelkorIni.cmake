# Gives the staged program folder a Velkor.ini without registered logs when it has none.
# An existing file holds the operator's logs and is never touched.
if(NOT DEFINED INI)
  message(FATAL_ERROR "INI (the path of Velkor.ini) is not set")
endif()
if(NOT EXISTS "${INI}")
  file(WRITE "${INI}" "[Users]\n\n")
endif()
