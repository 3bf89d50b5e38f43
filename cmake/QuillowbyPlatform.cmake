# quillowby_platform_sources(<variable> POSIX <file>... WIN32 <file>...)
#
# Sets <variable> to the files of the platform this build is for: the Win32 ones in a
# Windows build, the POSIX ones elsewhere. The engine's file services, the randomized
# tester's folders and the benchmark's each come in both kinds.
function(quillowby_platform_sources variable)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "POSIX;WIN32")
  if(WIN32)
    set(${variable} ${arg_WIN32} PARENT_SCOPE)
  else()
    set(${variable} ${arg_POSIX} PARENT_SCOPE)
  endif()
endfunction()
