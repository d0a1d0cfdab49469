# Fills index.html with the application layer's texts, as PageTexts prints them, so the page reads
# right before its module has arrived.
#   cmake -DNODE=... -DPROGRAM=pagetexts.js -DTEMPLATE=index.html -DTEXTS=page-texts.json -DPAGE=site/index.html
#         -P FillPage.cmake
execute_process(COMMAND ${NODE} ${PROGRAM} OUTPUT_VARIABLE json RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} failed: ${status}")
endif()
file(WRITE ${TEXTS} "${json}")

# A JSON member as HTML text; MNEMONIC drops the "&" that marks a menu entry's key, as a page has
# none ("&&" stays one "&").
function(html variable)
    cmake_parse_arguments(PARSE_ARGV 1 arg MNEMONIC "" "")
    string(JSON text GET "${json}" ${arg_UNPARSED_ARGUMENTS})
    if(arg_MNEMONIC)
        string(REGEX REPLACE "&(.)" "\\1" text "${text}")
    endif()
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()

html(WINDOW_TITLE windowTitle)
html(ABOUT_BOX_TITLE aboutBoxTitle)
html(ABOUT_TEXT aboutText)
html(COPYRIGHT_TEXT copyrightText)
html(CONTACT_TEXT contactText)
html(ABOUT_ENTRY_TEXT aboutEntryText MNEMONIC)
html(LOAD_TEXT loadText)
html(SAVE_TEXT saveText)
html(OK_TEXT okText)
html(MAIN_WINDOW_HELP help mainWindow)
foreach(control 1000 1001 1003 1005 1006 1007)
    html(NAME_${control} names ${control})
endforeach()
configure_file(${TEMPLATE} ${PAGE} @ONLY)
