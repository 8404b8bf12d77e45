# Fails unless MODULE's dynamic symbol table defines exactly EffectMain and
# PluginDataEntryFunction.
execute_process(COMMAND ${NM} -D --defined-only --extern-only ${MODULE}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  # weak symbols from the C++ runtime are the loader's business, not the interface
  if(NOT line MATCHES " [wWvV] ")
    list(APPEND names "${name}")
  endif()
endforeach()
list(SORT names)
if(NOT names STREQUAL "EffectMain;PluginDataEntryFunction")
  message(FATAL_ERROR "module exports [${names}], expected exactly EffectMain and PluginDataEntryFunction")
endif()
message(STATUS "module exports: ${names}")
