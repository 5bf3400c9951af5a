# The number of units in the catalogue, counted from its source, for the texts that state it (the
# manual page, the package's description, the unit reference); the configuration runs again when
# the catalogue changes.
set(catalogue_source ${PROJECT_SOURCE_DIR}/units/catalogue_data.inc)
file(STRINGS ${catalogue_source} catalogue_rows REGEX "^(UNIT|SCALE)\\(")
list(LENGTH catalogue_rows MENSORA_UNIT_COUNT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${catalogue_source})
