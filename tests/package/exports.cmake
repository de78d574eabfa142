# SPDX-License-Identifier: BSL-1.0
# Checks the export table of tav.dll (objdump -p): the interface is there, the
# internal helpers are not, and every name of the list recorded for the
# architecture (RECORD) is still exported: a program linked against an earlier
# tav.dll would not load without it. A name not yet recorded is reported, and
# recorded with -DRENEW=ON:
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DDLL=build-mingw-x64/bin/tav.dll
#         -DRECORD=tests/package/abi/tav-x64.dll.exports -DRENEW=ON -P tests/package/exports.cmake
cmake_minimum_required(VERSION 3.21)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
# The table of names alone: it ends at the first blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([^\n]+\n)*" exports "${table}")

set(wanted  # mangled name prefixes of every exported family
  _ZN3Tav6ObjectC
  _ZN3Tav6Format11KnownFourCC4RIFFE _ZN3Tav6Format11KnownFourCC4LISTE
  _ZN3Tav6Format11KnownFourCC4OSTRE _ZN3Tav6Format11KnownFourCC4NAMEE
  _ZN3Tav6Format4RIFF5Chunk4open _ZN3Tav6Format4RIFF5ChunkC
  _ZN3Tav6Format4RIFF4List2is _ZN3Tav6Format4RIFF4ListixEj _ZN3Tav6Format4RIFF4ListC
  _ZN3Tav6Format4RIFF4File4read _ZN3Tav6Format4RIFF4FileC
  _ZN3Tav6Format7Ostrane4Node4name _ZN3Tav6Format7Ostrane4NodeC
  _ZN3Tav6Format7Ostrane4FileixE _ZN3Tav6Format7Ostrane4FileC
  _ZN3Tav13International6LocaleC _ZNK3Tav13International6LocaleixE _ZNK3Tav13International6Locale4code
  _ZN3Tav8Security4Hash5Crc32EPKc _ZN3Tav8Security4Hash5Crc32EPKhj
  _ZN3Tav6String7Explode _ZN3Tav6String6Format
  _ZN3Tav2IO16GetKeyboardInput _ZN3Tav2IO18TranslateKeyRecord
  _ZN3Tav9Threading5TimerC _ZN3Tav9Threading5Timer7enabled _ZN3Tav9Threading5Timer4tick)
# The running form of the CRC-32, whose length is a std::size_t (j, m or y by target).
if(NOT exports MATCHES "_ZN3Tav8Security4Hash5Crc32EPKh[jmy]j")
  message(SEND_ERROR "not exported: Crc32(const unsigned char*, std::size_t, unsigned int)")
endif()
foreach(name ${wanted})
  string(FIND "${exports}" "${name}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "not exported: ${name}")
  endif()
endforeach()

# Nothing whose own name lies in a detail namespace (private members of the
# exported classes may still mention detail types among their parameters).
foreach(prefix _ZN3Tav6detail _ZN3Tav6Format4RIFF6detail _ZN3Tav6Format7Ostrane6detail
               _ZN3Tav8Security4Hash6detail _ZN3Tav9Threading6detail)
  string(FIND "${exports}" "${prefix}" at)
  if(NOT at EQUAL -1)
    message(SEND_ERROR "an internal helper is exported: ${prefix}...")
  endif()
endforeach()
foreach(name crc32Portable crc32Fold crc32Hybrid crc32Streams crc32Arm chosenKernel parsePath)
  string(FIND "${exports}" "${name}" at)
  if(NOT at EQUAL -1)
    message(SEND_ERROR "an internal helper is exported: ${name}")
  endif()
endforeach()

# The recorded names, one a line, sorted.
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${exports}")
set(names "")
foreach(entry ${entries})
  string(REGEX REPLACE "^\\[ *[0-9]+\\] " "" name "${entry}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
if(RENEW)
  list(JOIN names "\n" text)
  file(WRITE ${RECORD} "${text}\n")
  message(STATUS "recorded ${RECORD}")
  return()
endif()
file(STRINGS ${RECORD} recorded)
foreach(name ${recorded})
  if(NOT name IN_LIST names)
    message(SEND_ERROR "no longer exported, though recorded in ${RECORD}: ${name}")
  endif()
endforeach()
foreach(name ${names})
  if(NOT name IN_LIST recorded)
    message(STATUS "exported, not yet recorded (renew the record with -DRENEW=ON): ${name}")
  endif()
endforeach()
