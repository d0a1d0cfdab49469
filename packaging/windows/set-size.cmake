# Puts the size of the installed files, in kilobytes, into the installer (ARPSIZE), for the
# system's list of installed programs. cmake -DSTAGE=<folder> -DMSI=<file> -DMSIBUILD=<program> -P set-size.cmake
file(GLOB_RECURSE installed ${STAGE}/*.exe ${STAGE}/*-item.ico ${STAGE}/*.html ${STAGE}/*.md ${STAGE}/samples/*)
set(bytes 0)
foreach(path IN LISTS installed)
    file(SIZE ${path} size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")
execute_process(COMMAND ${MSIBUILD} ${MSI} -q "INSERT INTO `Property` (`Property`, `Value`) VALUES ('ARPSIZE', '${kilobytes}')"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild could not set ARPSIZE")
endif()
