# cmake -DCLI=... -DHELP2MAN=... -DINCLUDE=... -DOUTPUT=... -P CliManPage.cmake
# Writes ledgrix-cli's man page with help2man: the options and command list from its --help,
# then a COMMANDS section holding each command's own --help, then the hand-written INCLUDE.

function(run_help out)
  execute_process(COMMAND ${CLI} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} --help failed (${rc})")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Help text shown as it is: no roff requests, backslashes and hyphens kept literal.
function(roff_verbatim out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line starting with a dot or an apostrophe would be a request.
  set(text "\n${text}")
  string(REPLACE "\n." "\n\\&." text "${text}")
  string(REPLACE "\n'" "\n\\&'" text "${text}")
  string(SUBSTRING "${text}" 1 -1 text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

run_help(top)
string(REGEX REPLACE ".*\nSubcommands:\n" "" listing "${top}")
string(REGEX MATCHALL "(^|\n)  [a-z][a-z-]*" commands "${listing}")
if(NOT commands)
  message(FATAL_ERROR "no commands found in the output of ${CLI} --help")
endif()

set(page "[COMMANDS]\n")
foreach(entry ${commands})
  string(STRIP "${entry}" command)
  run_help(text ${command})
  # The first line repeats the summary of the command list; the usage line follows it.
  string(FIND "${text}" "\n" eol)
  string(SUBSTRING "${text}" 0 ${eol} summary)
  math(EXPR eol "${eol} + 1")
  string(SUBSTRING "${text}" ${eol} -1 body)
  string(STRIP "${body}" body)
  roff_verbatim(summary "${summary}")
  roff_verbatim(body "${body}")
  roff_verbatim(title "${command}")
  string(APPEND page ".SS \"${title}\"\n${summary}\n.PP\n.nf\n${body}\n.fi\n")
endforeach()

get_filename_component(work_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${work_dir})
set(commands_include ${OUTPUT}.commands.h2m)
file(WRITE ${commands_include} "${page}")
execute_process(COMMAND ${HELP2MAN} --no-info
    --name "browse and correct MetaStock / CompuTrac quote data"
    --include ${commands_include} --include ${INCLUDE} --output ${OUTPUT} ${CLI}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed (${rc})")
endif()
file(REMOVE ${commands_include})
