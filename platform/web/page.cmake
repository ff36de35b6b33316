# page.cmake — heliogeo_web_page(TARGET PAGE): a program built with
# emscripten as one self-contained page, PAGE: the WebAssembly embedded and
# the page's own scripts inlined, so that it runs from file:// with no server.
# Asyncify lets a procedure that waits (a key, a line, a box, the next pass)
# stay a plain call while the browser goes on.
set(HELIOGEO_WEB_DIR ${CMAKE_CURRENT_LIST_DIR})
# The page's scripts, in the order the page runs them: the menu bar, then
# the page that makes one.
set(HELIOGEO_WEB_SCRIPTS ${HELIOGEO_WEB_DIR}/menubar.js ${HELIOGEO_WEB_DIR}/page.js)

function(heliogeo_web_page target page)
  target_link_options(${target} PRIVATE -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sSINGLE_FILE=1
    -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web -sINCOMING_MODULE_JS_API=arguments,print,printErr)
  set_target_properties(${target} PROPERTIES SUFFIX ".js")
  # One argument for inline.cmake: the scripts, a comma between; and the
  # licences of all the page carries, which go into it as they are.
  list(JOIN HELIOGEO_WEB_SCRIPTS "," scripts)
  get_property(erfa_license GLOBAL PROPERTY HELIOGEO_ERFA_LICENSE)
  set(licences ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/packaging/third-party.txt ${erfa_license})
  list(JOIN licences "," notices)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPAGE=${HELIOGEO_WEB_DIR}/page.html -DPAGE_SCRIPTS=${scripts} -DNOTICES=${notices}
      -DMODULE_JS=$<TARGET_FILE:${target}> -DOUT=${page} -P ${HELIOGEO_WEB_DIR}/inline.cmake
    DEPENDS ${target} ${HELIOGEO_WEB_DIR}/page.html ${HELIOGEO_WEB_SCRIPTS} ${HELIOGEO_WEB_DIR}/inline.cmake
      ${licences}
    COMMENT "One page: ${page}")
  add_custom_target(${target}_page ALL DEPENDS ${page})
endfunction()
