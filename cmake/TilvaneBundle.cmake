# The build lays out a relocatable application folder that plays the part of the bundle:
#   Tilvane.app/bin/tilvane, Tilvane.app/Resources/Info.json and one folder per module bundle.
set(TILVANE_APP_DIR "${CMAKE_BINARY_DIR}/Tilvane.app")
set(TILVANE_RESOURCES_DIR "${TILVANE_APP_DIR}/Resources")
file(MAKE_DIRECTORY "${TILVANE_RESOURCES_DIR}")

# tilvane_bundle_resources(<target> <bundle name> <source folder> <folder inside the bundle>)
# Copies every file of <source folder> into Tilvane.app/Resources/<bundle name>/<folder inside the bundle>
# whenever <target> is built, so edits to the resources reach the bundle without reconfiguring.
function(tilvane_bundle_resources target bundle_name source_dir inner_dir)
  set(destination "${TILVANE_RESOURCES_DIR}/${bundle_name}/${inner_dir}")
  file(GLOB_RECURSE resource_files CONFIGURE_DEPENDS "${source_dir}/*")
  set(outputs)
  foreach(resource IN LISTS resource_files)
    file(RELATIVE_PATH relative "${source_dir}" "${resource}")
    set(output "${destination}/${relative}")
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${resource}" "${output}"
      DEPENDS "${resource}" VERBATIM)
    list(APPEND outputs "${output}")
  endforeach()
  add_custom_target(${target}_${bundle_name}_resources DEPENDS ${outputs})
  add_dependencies(${target} ${target}_${bundle_name}_resources)
endfunction()

# The information keys of the bundle (Resources/Info.json), written from the project's version.
set(TILVANE_BUILD_NUMBER "1" CACHE STRING "Build number written as CFBundleVersion")
# Only release builds name the update feed; a bundle built for development leaves SUFeedURL empty,
# so that running it from the build tree never updates it.
option(TILVANE_SIGNED_UPDATES "Write the signed update feed's address into Info.json (release builds)" OFF)
set(TILVANE_RELEASE_UPDATE_FEED "https://updates.veldran.studio/tilvane/updates/appcast.xml")
set(TILVANE_UPDATE_FEED "")
if(TILVANE_SIGNED_UPDATES)
  set(TILVANE_UPDATE_FEED "${TILVANE_RELEASE_UPDATE_FEED}")
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/Info.json.in" "${TILVANE_RESOURCES_DIR}/Info.json" @ONLY)
