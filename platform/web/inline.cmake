# inline.cmake — puts the page's script and the program into the page:
#   cmake -DPAGE=page.html -DPAGE_JS=page.js -DMODULE_JS=heliogeo.js -DOUT=heliogeo.html -P inline.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${PAGE}" page)
file(READ "${PAGE_JS}" page_js)
file(READ "${MODULE_JS}" module_js)
# Nothing inside a script may end it early.
string(REPLACE "</script" "<\\/script" page_js "${page_js}")
string(REPLACE "</script" "<\\/script" module_js "${module_js}")
string(REPLACE "/* HELIOGEO PAGE SCRIPT */" "${page_js}" page "${page}")
string(REPLACE "/* HELIOGEO PROGRAM */" "${module_js}" page "${page}")
file(WRITE "${OUT}" "${page}")
