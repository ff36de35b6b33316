# inline.cmake — puts the page's scripts and the program into the page:
#   cmake -DPAGE=page.html -DPAGE_SCRIPTS=menubar.js,page.js -DMODULE_JS=heliogeo.js -DOUT=heliogeo.html -P inline.cmake
# Each of the page's scripts becomes a script element of its own, in the
# order given, where the page says so.
cmake_minimum_required(VERSION 3.25)
file(READ "${PAGE}" page)
file(READ "${MODULE_JS}" module_js)
# Nothing inside a script may end it early.
string(REPLACE "</script" "<\\/script" module_js "${module_js}")
string(REPLACE "," ";" scripts "${PAGE_SCRIPTS}")
set(page_js "")
foreach(script IN LISTS scripts)
  file(READ "${script}" js)
  string(REPLACE "</script" "<\\/script" js "${js}")
  string(APPEND page_js "<script>\n${js}</script>\n")
endforeach()
string(REPLACE "<!-- HELIOGEO PAGE SCRIPTS -->\n" "${page_js}" page "${page}")
string(REPLACE "/* HELIOGEO PROGRAM */" "${module_js}" page "${page}")
file(WRITE "${OUT}" "${page}")
