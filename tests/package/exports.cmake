# SPDX-License-Identifier: BSL-1.0
# Checks the export table of tav.dll (objdump -p): the interface is there, the
# internal helpers are not.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table.*" exports "${table}")

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
