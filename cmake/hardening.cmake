# The hardening every program, tool and library is built with, as Debian
# builds its own packages: tv_hardening, an INTERFACE library that every
# target of the build links (torvelin_harden_every_target, at the end of
# the configuration, so that a new target cannot be forgotten).
#
#   -fstack-protector-strong     a canary before the return address
#   -D_FORTIFY_SOURCE=2          checked string and memory calls (needs -O)
#   -fstack-clash-protection     large frames probed page by page
#   -fcf-protection              branch targets marked (x86-64 only)
#   -Wl,-z,relro,-z,now          relocations resolved at start, then read-only
#   PIE                          programs loaded at a random address
#
# A flag the compiler does not know for the target (an ARM cross build
# has no -fcf-protection) is left out. The sanitizer and fuzz builds leave
# out _FORTIFY_SOURCE, whose checked calls stand in the way of the
# sanitizers' own. The web build has none of it. On Windows the linker's
# ASLR, high-entropy addresses and DEP are asked for by name, and ELF's
# relocation flags do not apply.
if(CMAKE_SYSTEM_NAME STREQUAL "Emscripten")
  return()  # WebAssembly has no return addresses in its memory, nor ELF's relocations.
endif()

include(CheckCXXSourceCompiles)
include(CheckPIESupported)

add_library(tv_hardening INTERFACE)

# Adds FLAG to tv_hardening's compile options if the compiler takes it
# for the target without a warning.
function(torvelin_hardening_compile_flag flag)
  string(MAKE_C_IDENTIFIER "TORVELIN_HAS${flag}" result)
  set(CMAKE_REQUIRED_FLAGS "${flag} -Werror")
  check_cxx_source_compiles("int main() { return 0; }" ${result})
  if(${result})
    target_compile_options(tv_hardening INTERFACE ${flag})
  endif()
endfunction()

torvelin_hardening_compile_flag(-fstack-protector-strong)
if(NOT WIN32)
  # Windows probes its stack itself; the flag only warns there.
  torvelin_hardening_compile_flag(-fstack-clash-protection)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND NOT WIN32)
  # Every unit of ours is compiled for it. The programs as a whole carry
  # the marker only where the C library's start files do too: the linker
  # marks a program only when every object in it is marked.
  torvelin_hardening_compile_flag(-fcf-protection)
endif()
if(NOT (TORVELIN_SANITIZE OR TORVELIN_TSAN OR TORVELIN_FUZZ))
  target_compile_options(tv_hardening INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
endif()

if(WIN32)
  # The checks of the stack protector and the fortified calls come from
  # libssp, which the compiler links only when told of them.
  target_link_options(tv_hardening INTERFACE -fstack-protector-strong
    -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
else()
  target_link_options(tv_hardening INTERFACE -Wl,-z,relro,-z,now)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# Every target of DIR and of the folders under it.
function(torvelin_targets_under dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    torvelin_targets_under(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(torvelin_harden_every_target)
  torvelin_targets_under(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE tv_hardening)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL torvelin_harden_every_target)
