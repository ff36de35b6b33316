# inline.cmake — puts the page's scripts and the program into the page:
#   cmake -DPAGE=page.html -DPAGE_SCRIPTS=menubar.js,page.js -DNOTICES=LICENSE,… -DMODULE_JS=heliogeo.js \
#     -DOUT=heliogeo.html -P inline.cmake
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
# The licences, as a comment at the page's head (no "--" inside it).
string(REPLACE "," ";" notices "${NOTICES}")
set(licences "")
foreach(notice IN LISTS notices)
  file(READ "${notice}" text)
  string(REPLACE "--" "- -" text "${text}")
  string(APPEND licences "\n${text}")
endforeach()
string(REPLACE "<!-- HELIOGEO LICENCES -->" "<!--${licences}-->" page "${page}")
string(REPLACE "/* HELIOGEO PROGRAM */" "${module_js}" page "${page}")
file(WRITE "${OUT}" "${page}")
