# A shipped DLL's export table is a promise: every script built against the SDK links against
# it. This fails unless DLL exports exactly the names that LIST holds, one a line (lines that
# begin with # are comments), and names what was added and what went missing.
#
#   cmake -DOBJDUMP=... -DDLL=... -DLIST=... [-DUPDATE=ON] -P export_list.cmake
#
# UPDATE=ON writes LIST anew from the DLL, keeping its comment lines: for a change that means to
# change the promise.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t\\[ *[0-9]+\\] [^\n]+\n)*" table "${listing}")
# The heading and each line's "[ N] " go before the text becomes a list: CMake's lists do not
# divide inside square brackets.
string(REPLACE "[Ordinal/Name Pointer] Table\n" "" table "${table}")
string(REGEX REPLACE "\t\\[ *[0-9]+\\] " "" table "${table}")
string(REGEX MATCHALL "[^\n]+" exported "${table}")
list(SORT exported)

file(STRINGS ${LIST} lines)
set(promised "")
set(comments "")
foreach(line IN LISTS lines)
  if(line MATCHES "^#")
    string(APPEND comments "${line}\n")
  elseif(NOT line STREQUAL "")
    list(APPEND promised "${line}")
  endif()
endforeach()
list(SORT promised)

if(UPDATE)
  list(JOIN exported "\n" body)
  file(WRITE ${LIST} "${comments}${body}\n")
  message(STATUS "${LIST} written from ${DLL}")
  return()
endif()

set(added ${exported})
set(missing ${promised})
if(promised)
  list(REMOVE_ITEM added ${promised})
endif()
if(exported)
  list(REMOVE_ITEM missing ${exported})
endif()
if(added OR missing OR NOT exported)
  list(JOIN added "\n  " added_lines)
  list(JOIN missing "\n  " missing_lines)
  message(FATAL_ERROR "${DLL} does not export what ${LIST} promises.\n"
    "Exported, not listed:\n  ${added_lines}\nListed, not exported:\n  ${missing_lines}\n"
    "Where the change is meant, write the list anew: cmake -DUPDATE=ON with this test's command.")
endif()
list(LENGTH exported count)
message(STATUS "${DLL} exports exactly the ${count} names of ${LIST}")
