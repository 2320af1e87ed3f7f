# The kit's four faces come as woff2 from the npm packages installed by scripts/setup (npm ci in this folder)
# and are decompressed into Tilvane.app/Resources/VemiTerminal_VemiTerminal.bundle/Fonts/<PostScript name>.ttf.
find_program(WOFF2_DECOMPRESS woff2_decompress REQUIRED)

set(font_packages "${CMAKE_CURRENT_LIST_DIR}/node_modules/@fontsource")
set(font_work_dir "${CMAKE_CURRENT_BINARY_DIR}/fonts")
set(font_bundle_dir "${VEMI_TERMINAL_BUNDLE_DIR}/Fonts")
set(kit_fonts
  "InterTight-Medium|inter-tight/files/inter-tight-latin-500-normal.woff2"
  "InterTight-Regular|inter-tight/files/inter-tight-latin-400-normal.woff2"
  "VT323-Regular|vt323/files/vt323-latin-400-normal.woff2"
  "JetBrainsMono-Light|jetbrains-mono/files/jetbrains-mono-latin-300-normal.woff2")

set(font_outputs)
foreach(entry IN LISTS kit_fonts)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 postscript_name)
  list(GET parts 1 woff2_path)
  set(source "${font_packages}/${woff2_path}")
  if(NOT EXISTS "${source}")
    message(WARNING "VemiTerminal: ${source} is missing; run scripts/setup to install the kit's fonts")
    continue()
  endif()
  set(work_woff2 "${font_work_dir}/${postscript_name}.woff2")
  set(output "${font_bundle_dir}/${postscript_name}.ttf")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${font_work_dir}" "${font_bundle_dir}"
    COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${work_woff2}"
    COMMAND ${WOFF2_DECOMPRESS} "${work_woff2}"
    COMMAND ${CMAKE_COMMAND} -E copy "${font_work_dir}/${postscript_name}.ttf" "${output}"
    DEPENDS "${source}"
    COMMENT "Decompressing ${postscript_name}"
    VERBATIM)
  list(APPEND font_outputs "${output}")
endforeach()

add_custom_target(VemiTerminalFonts DEPENDS ${font_outputs})
add_dependencies(VemiTerminal VemiTerminalFonts)
